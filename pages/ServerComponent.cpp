#include "pages/ServerComponent.h"

#include "BinaryData.h"
#include "server/NetworkAdapterComboBox.h"
#include "server/QrImage.h"

ServerComponent::ServerComponent (std::shared_ptr<VantrelServer> s)
    : qrButton (BinaryData::QR_svg, (size_t) BinaryData::QR_svgSize),
      copyButton (BinaryData::Copy_svg, (size_t) BinaryData::Copy_svgSize),
      removeButton (BinaryData::Delete_svg, (size_t) BinaryData::Delete_svgSize),
      server (std::move (s))
{
    addAndMakeVisible (nameLabel);
    nameLabel.setEditable (true, false, false);
    nameLabel.setText (server->getName(), juce::dontSendNotification);
    nameLabel.setJustificationType (juce::Justification::centredLeft);
    nameLabel.onTextChange = [this] { server->setName (nameLabel.getText()); };

    addAndMakeVisible (addressLabel);
    addressLabel.setJustificationType (juce::Justification::centredLeft);
    addressLabel.setFont (juce::Font ("Droid Sans Mono", 15.0f, juce::Font::plain));

    addAndMakeVisible (qrButton);
    qrButton.setColour (SvgButton::iconColourId, juce::Colours::white.withLightness (0.5f));
    qrButton.onClick = [this] { showQrCode(); };

    addAndMakeVisible (copyButton);
    copyButton.setColour (SvgButton::iconColourId, juce::Colours::white.withLightness (0.4f));
    copyButton.onClick = [this] { copyAddress(); };

    addAndMakeVisible (removeButton);
    removeButton.setColour (SvgButton::iconColourId, juce::Colour (0xffff0000));
    removeButton.enableHoverFade();
    removeButton.onClick = [this]
    {
        if (onRemove)
            onRemove();
    };

    // The row spans the colour-mask grid that lies behind it: only its own widgets take clicks.
    setInterceptsMouseClicks (false, true);

    server->addListener (this);
}

ServerComponent::~ServerComponent()
{
    server->removeListener (this);
}

void ServerComponent::setAddress (const juce::String& host, int port)
{
    const auto shown = host == "0.0.0.0" ? NetworkAdapterComboBox::getLocalHostName() : host;
    addressLabel.setText (shown + ":" + juce::String (port), juce::dontSendNotification);
}

float ServerComponent::getAddressTextWidth() const
{
    return addressLabel.getFont().getStringWidthFloat (addressLabel.getText());
}

int ServerComponent::getRequiredWidth() const
{
    return (int) ((double) getAddressTextWidth() * 1.1 + nameWidth + 4 * buttonWidth);
}

void ServerComponent::showQrCode()
{
    const auto text = "http://" + addressLabel.getText();
    qrItem = new QrCodeItem (makeQrImage (text, juce::Colours::white, juce::Colours::black));

    juce::PopupMenu::Item item;
    item.itemID = 1;
    item.customComponent = qrItem;
    juce::PopupMenu menu;
    menu.addItem (std::move (item));

    // Centred on the window the row is in.
    auto* top = getTopLevelComponent();
    const auto window = top->getScreenBounds();
    const juce::Rectangle<int> area (window.getX() + window.getWidth() / 2 - QrCodeItem::side / 2,
                                     window.getY() + window.getHeight() / 2 - QrCodeItem::side / 2, 0, 0);
    menu.showMenuAsync (juce::PopupMenu::Options().withTargetComponent (top).withTargetScreenArea (area));
}

void ServerComponent::copyAddress()
{
    juce::SystemClipboard::copyTextToClipboard (addressLabel.getText());
}

void ServerComponent::paint (juce::Graphics& g)
{
    g.setColour (juce::Colour (0xff000000));
    g.fillRoundedRectangle (0.0f, 2.0f, (float) nameWidth, (float) juce::jmax (0, getHeight() - 4), 4.0f);
}

void ServerComponent::resized()
{
    const auto w = getWidth(), h = getHeight();

    const juce::Font nameFont ((float) h * 0.66f);
    if (nameLabel.getFont() != nameFont)
        nameLabel.setFont (nameFont);

    const auto n = juce::jmin (w, nameWidth);
    nameLabel.setBounds (5, 0, juce::jmax (0, n - 5), h);

    // The grid column and its margin.
    const auto c = juce::jmin (w - n, gridWidth + 20);
    auto x = n + c;
    auto rest = w - x;

    const auto a = juce::jmin (rest, (int) (getAddressTextWidth() * 1.1f));
    addressLabel.setBounds (x, 0, juce::jmax (0, a), h);

    const auto b1 = juce::jmin (rest - a, buttonWidth);
    qrButton.setBounds (x + a + 2, 2, juce::jmax (0, b1 - 4), juce::jmax (0, h - 4));
    x += a + b1;
    rest -= a + b1;

    const auto b2 = juce::jmin (rest, buttonWidth);
    copyButton.setBounds (x + 2, 2, juce::jmax (0, b2 - 4), juce::jmax (0, h - 4));

    const auto b3 = juce::jmin (rest - b2, buttonWidth);
    removeButton.setBounds (x + b2 + 4, 4, juce::jmax (0, b3 - 8), juce::jmax (0, h - 8));

    // The row ends right after the remove button.
    setBounds (getX(), getY(), x + b2 + b3, h);
}

void ServerComponent::serverChanged()
{
    nameLabel.setText (server->getName(), juce::dontSendNotification);
}
