# Helpers for the end-to-end scripts (sourced, not run).

# Writes a document with one cue list into the given HOME and makes it the last used file,
# so the application starts with its main window alone.
# Usage: seed_document_with_list HOME NAME
seed_document_with_list() {
    local home="$1" name="$2"
    local folder="$home/Documents/Vantrel"
    mkdir -p "$folder/preferences"
    printf '%s\r\n' \
        '<Vantrel version="1.1.0.643">' \
        '  <CueLists>' \
        '    <CueList uuid="0123456789abcdef0123456789abcdef" name="Show" offset="00:00:00:00" fps="25"/>' \
        '  </CueLists>' \
        '  <ColorMask/>' \
        '  <Servers IP="0.0.0.0"/>' \
        '</Vantrel>' > "$folder/$name.xml"
    printf '%s\r\n' \
        '<preferences>' \
        '  <app version="1.1.0.643"/>' \
        "  <lastusedfile fullpathname=\"$folder/$name.xml\"/>" \
        '</preferences>' > "$folder/preferences/preferences.xml"
}
