/* A drag source for the end-to-end checks: a small window that, pressed and dragged with the
   first mouse button, offers the files named on the command line as a "text/uri-list" over
   the X drag-and-drop protocol, as a file manager does. Prints "ready" once it is on screen
   and "drag-end" when a drag is over. */
#include <gtk/gtk.h>
#include <stdio.h>
#include <stdlib.h>

static gchar** uris;

static void dataGet (GtkWidget* widget, GdkDragContext* context, GtkSelectionData* data, guint info, guint time,
                     gpointer user)
{
    (void) widget; (void) context; (void) info; (void) time; (void) user;
    gtk_selection_data_set_uris (data, uris);
}

static void dragEnd (GtkWidget* widget, GdkDragContext* context, gpointer user)
{
    (void) widget; (void) context; (void) user;
    printf ("drag-end\n");
    fflush (stdout);
}

static gboolean mapped (GtkWidget* widget, GdkEvent* event, gpointer user)
{
    (void) widget; (void) event; (void) user;
    printf ("ready\n");
    fflush (stdout);
    return FALSE;
}

int main (int argc, char** argv)
{
    gtk_init (&argc, &argv);
    if (argc < 4)
    {
        fprintf (stderr, "usage: %s x y file...\n", argv[0]);
        return 2;
    }

    uris = g_new0 (gchar*, (gsize) argc - 2);
    for (int i = 3; i < argc; ++i)
        uris[i - 3] = g_filename_to_uri (argv[i], NULL, NULL);

    GtkWidget* window = gtk_window_new (GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title (GTK_WINDOW (window), "xdnd-source");
    gtk_window_set_default_size (GTK_WINDOW (window), 100, 100);
    gtk_window_move (GTK_WINDOW (window), atoi (argv[1]), atoi (argv[2]));

    GtkWidget* area = gtk_event_box_new();
    gtk_container_add (GTK_CONTAINER (window), area);
    static const GtkTargetEntry target = { (gchar*) "text/uri-list", 0, 0 };
    gtk_drag_source_set (area, GDK_BUTTON1_MASK, &target, 1, GDK_ACTION_COPY);
    g_signal_connect (area, "drag-data-get", G_CALLBACK (dataGet), NULL);
    g_signal_connect (area, "drag-end", G_CALLBACK (dragEnd), NULL);
    g_signal_connect (window, "map-event", G_CALLBACK (mapped), NULL);
    g_signal_connect (window, "destroy", G_CALLBACK (gtk_main_quit), NULL);

    gtk_widget_show_all (window);
    gtk_main();
    g_strfreev (uris);
    return 0;
}
