#include "controls/button/input.h"

namespace {

constexpr qint16 leftButton = 1, rightButton = 2;
constexpr qint16 enterKey = 13, spaceKey = 32, leftKey = 37, upKey = 38, rightKey = 39,
                 downKey = 40;

} // namespace

void ButtonInput::mouseDown(qint16 button, qint16 shift, float x, float y)
{
    host_.raiseMouseDown(button, shift, x, y);
    lastMouseButton_ = quint8(button);
    if (button != rightButton)
        host_.paintFaceFor(2, false);
}

void ButtonInput::mouseMove(qint16 button, qint16 shift, float x, float y, bool overButton)
{
    host_.raiseMouseMove(button, shift, x, y);
    if (button != 0 && button != leftButton)
        return;
    if (!overButton) {
        host_.paintFaceFor(0, false);
        return;
    }
    if (button == 0 && !mouseInside_) {
        cursorEntered();
    } else if (button == leftButton) {
        // The pushed face in the hover look; the next plain move counts as coming over again.
        mouseInside_ = true;
        host_.paintFaceFor(2, false);
        mouseInside_ = false;
    }
}

void ButtonInput::cursorEntered()
{
    if (mouseInside_)
        return;
    watchingHover_ = true;
    mouseInside_ = true;
    host_.paintFaceFor(0, true);
    host_.raiseMouseOver();
}

void ButtonInput::mouseUp(qint16 button, qint16 shift, float x, float y)
{
    host_.raiseMouseUp(button, shift, x, y);
    if (button != rightButton)
        host_.paintFaceFor(0, false);
}

void ButtonInput::click()
{
    if (lastMouseButton_ != leftButton || !host_.isButtonEnabled())
        return;
    if (host_.checkBoxBehaviour())
        host_.toggleValue();
    host_.paintFaceFor(0, true);
    // The raised face is on screen while the window handles the click.
    host_.showFaceNow();
    host_.raiseClick();
}

void ButtonInput::doubleClick()
{
    if (lastMouseButton_ != leftButton)
        return;
    mouseDown(leftButton, 0, 0, 0);
}

void ButtonInput::accessKey()
{
    lastMouseButton_ = leftButton;
    click();
}

void ButtonInput::cursorLeft()
{
    if (!watchingHover_)
        return;
    watchingHover_ = false;
    mouseInside_ = false;
    host_.paintFaceFor(0, true);
    host_.raiseMouseOut();
}

void ButtonInput::keyDown(qint16 keyCode, qint16 shift)
{
    host_.raiseKeyDown(keyCode, shift);
    lastKeyCode_ = quint8(keyCode);
    switch (keyCode) {
    case spaceKey:
        host_.paintFaceFor(2, false);
        break;
    case leftKey:
    case upKey:
        host_.moveFocus(false);
        break;
    case rightKey:
    case downKey:
        host_.moveFocus(true);
        break;
    case enterKey:
        // Enter clicks a focused button, as it does every other button of the desktop.
        accessKey();
        break;
    default:
        break;
    }
}

void ButtonInput::keyPress(qint16 keyAscii)
{
    host_.raiseKeyPress(keyAscii);
}

void ButtonInput::keyUp(qint16 keyCode, qint16 shift)
{
    host_.raiseKeyUp(keyCode, shift);
    if (lastKeyCode_ != spaceKey || keyCode != spaceKey)
        return;
    if (host_.checkBoxBehaviour())
        host_.toggleValue();
    host_.paintFaceFor(0, false);
    host_.showFaceNow();
    host_.raiseClick();
}
