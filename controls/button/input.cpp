#include "controls/button/input.h"

#include <array>

namespace {

constexpr qint16 leftButton = 1, rightButton = 2;
constexpr qint16 enterKey = 13, spaceKey = 32, leftKey = 37, upKey = 38, rightKey = 39,
                 downKey = 40;

// Qt's cursors for the classic pointer numbers 1 to 15; no Qt cursor looks like the old
// icon pointer (4), so it shows the arrow.
constexpr std::array<Qt::CursorShape, 15> pointerShapes{
    Qt::ArrowCursor,   Qt::CrossCursor,     Qt::IBeamCursor,   Qt::ArrowCursor,
    Qt::SizeAllCursor, Qt::SizeBDiagCursor, Qt::SizeVerCursor, Qt::SizeFDiagCursor,
    Qt::SizeHorCursor, Qt::UpArrowCursor,   Qt::WaitCursor,    Qt::ForbiddenCursor,
    Qt::BusyCursor,    Qt::WhatsThisCursor, Qt::SizeAllCursor,
};

// The virtual-key codes of the keys whose Qt code is not the code itself.
struct KeyCode {
    int qtKey;
    qint16 code;
};
constexpr std::array<KeyCode, 19> keyCodes{{
    {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},      {Qt::Key_Return, 13},   {Qt::Key_Enter, 13},
    {Qt::Key_Shift, 16},    {Qt::Key_Control, 17}, {Qt::Key_Alt, 18},      {Qt::Key_Escape, 27},
    {Qt::Key_Space, 32},    {Qt::Key_PageUp, 33},  {Qt::Key_PageDown, 34}, {Qt::Key_End, 35},
    {Qt::Key_Home, 36},     {Qt::Key_Left, 37},    {Qt::Key_Up, 38},       {Qt::Key_Right, 39},
    {Qt::Key_Down, 40},     {Qt::Key_Insert, 45},  {Qt::Key_Delete, 46},
}};

} // namespace

qint16 classicButtons(Qt::MouseButtons buttons)
{
    return qint16((buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0) |
                  (buttons & Qt::MiddleButton ? 4 : 0));
}

qint16 classicShift(Qt::KeyboardModifiers modifiers)
{
    return qint16((modifiers & Qt::ShiftModifier ? 1 : 0) |
                  (modifiers & Qt::ControlModifier ? 2 : 0) |
                  (modifiers & Qt::AltModifier ? 4 : 0));
}

qint16 classicKeyCode(int qtKey)
{
    // Letters and digits have the same codes in both.
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qint16(qtKey);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return qint16(112 + qtKey - Qt::Key_F1);
    for (const KeyCode& key : keyCodes) {
        if (key.qtKey == qtKey)
            return key.code;
    }
    return 0;
}

std::optional<Qt::CursorShape> pointerShape(qint16 pointer, bool hand, bool hasIcon)
{
    if (pointer >= 1 && pointer <= qint16(pointerShapes.size()))
        return pointerShapes[pointer - 1];
    if (pointer == customPointer && hand)
        return Qt::PointingHandCursor;
    if (pointer == customPointer && hasIcon)
        return Qt::BitmapCursor;
    return std::nullopt;
}

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
    clickRaised(true);
}

void ButtonInput::clickRaised(bool force)
{
    if (host_.checkBoxBehaviour())
        host_.toggleValue();
    host_.paintFaceFor(0, force);
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
    if (lastKeyCode_ == spaceKey && keyCode == spaceKey)
        clickRaised(false);
}
