#pragma once

#include "pages/QrCodeItem.h"
#include "server/VantrelServer.h"
#include "ui/kit/SvgButton.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>
#include <memory>

/** One server's row on the web-client page: its name (edited on a single click), then room for
    its colour-mask strip, its address, and buttons to show the address as a QR code, copy it
    and remove the server. */
class ServerComponent : public juce::Component, private VantrelServer::Listener
{
public:
    explicit ServerComponent (std::shared_ptr<VantrelServer> server);
    ~ServerComponent() override;

    /** Set by the owner: the remove button's action. */
    std::function<void()> onRemove;

    /** "0.0.0.0" is shown as this computer's name on the local network. */
    void setAddress (const juce::String& host, int port);
    /** The width of the colour-mask grid beside the name. */
    void setGridWidth (int width) { gridWidth = width; }
    int getGridWidth() const { return gridWidth; }
    /** The row's width without the grid: name, margin, address and the three buttons. */
    int getRequiredWidth() const;

    /** Shows "http://" and the address as a QR code in a 400 x 400 pop-up over the window. */
    void showQrCode();
    void copyAddress();

    void paint (juce::Graphics& g) override;
    void resized() override;

    const std::shared_ptr<VantrelServer>& getServer() const { return server; }
    juce::Label& getNameLabel() { return nameLabel; }
    juce::Label& getAddressLabel() { return addressLabel; }
    juce::Button& getQrButton() { return qrButton; }
    juce::Button& getCopyButton() { return copyButton; }
    juce::Button& getRemoveButton() { return removeButton; }
    /** The item of the QR pop-up opened last, if any. */
    QrCodeItem* getQrItem() const { return qrItem.get(); }

    static constexpr int nameWidth = 176;
    static constexpr int buttonWidth = 20;

private:
    juce::Label nameLabel;
    juce::Label addressLabel;
    SvgButton qrButton;
    SvgButton copyButton;
    SvgButton removeButton;
    std::shared_ptr<VantrelServer> server;
    int gridWidth = 500;
    // Shared with the pop-up that shows it: the pop-up may outlive this row.
    juce::ReferenceCountedObjectPtr<QrCodeItem> qrItem;

    float getAddressTextWidth() const;
    void serverChanged() override;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ServerComponent)
};
