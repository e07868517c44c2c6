#pragma once

#include <QtGlobal>
#include <qnamespace.h>

#include <optional>

// The classic values of mouse and key events: buttons 1 left, 2 right, 4 middle; shift 1 Shift,
// 2 Ctrl, 4 Alt; virtual-key codes, 0 for keys without one.
qint16 classicButtons(Qt::MouseButtons buttons);
qint16 classicShift(Qt::KeyboardModifiers modifiers);
qint16 classicKeyCode(int qtKey);

// The pointer number of the custom pointer, shown from the MouseIcon.
constexpr qint16 customPointer = 99;

// Qt's cursor for a classic pointer number: 1 to 15 the nearest shape; the custom pointer the
// hand when `hand`, else Qt::BitmapCursor when there is an icon; nothing for the rest, which
// leave the cursor to the window.
std::optional<Qt::CursorShape> pointerShape(qint16 pointer, bool hand, bool hasIcon);

// What the button's input handling asks of the button it drives. Event parameters are passed
// by reference: a handler of the window may change them, and the input goes on with its values.
class InputHost {
public:
    virtual ~InputHost() = default;
    // Repaints the face in state 0 (raised) or 2 (pushed); unforced requests for the face on
    // screen are dropped.
    virtual void paintFaceFor(int state, bool force) = 0;
    // Brings the face just painted to the screen before anything else happens.
    virtual void showFaceNow() = 0;
    virtual bool isButtonEnabled() const = 0;
    virtual bool checkBoxBehaviour() const = 0;
    virtual void toggleValue() = 0;
    virtual void moveFocus(bool next) = 0;

    virtual void raiseClick() = 0;
    virtual void raiseMouseDown(qint16& button, qint16& shift, float& x, float& y) = 0;
    virtual void raiseMouseMove(qint16& button, qint16& shift, float& x, float& y) = 0;
    virtual void raiseMouseUp(qint16& button, qint16& shift, float& x, float& y) = 0;
    virtual void raiseKeyDown(qint16& keyCode, qint16& shift) = 0;
    virtual void raiseKeyPress(qint16& keyAscii) = 0;
    virtual void raiseKeyUp(qint16& keyCode, qint16& shift) = 0;
    virtual void raiseMouseOver() = 0;
    virtual void raiseMouseOut() = 0;
};

// The button's states under mouse and keys: raised, hovered, pushed by the mouse or by Space,
// and when a click counts. Buttons are 1 left, 2 right, 4 middle; key codes are the classic
// virtual-key numbers (32 Space, 37 to 40 the arrows).
class ButtonInput {
public:
    explicit ButtonInput(InputHost& host) : host_(host) {}

    bool mouseInside() const { return mouseInside_; }

    void mouseDown(qint16 button, qint16 shift, float x, float y);
    // `overButton`: the cursor is over the button's shape.
    void mouseMove(qint16 button, qint16 shift, float x, float y, bool overButton);
    void mouseUp(qint16 button, qint16 shift, float x, float y);
    // A click the platform reports: the left button pressed and released over the button.
    void click();
    void doubleClick();
    void accessKey();
    // The cursor came over the button with no mouse button held, before any move over it.
    void cursorEntered();
    // The cursor was seen off the button while hover was watched.
    void cursorLeft();
    void keyDown(qint16 keyCode, qint16 shift);
    void keyPress(qint16 keyAscii);
    void keyUp(qint16 keyCode, qint16 shift);

private:
    // Ticks a check box, then shows the raised face and raises Click.
    void clickRaised(bool force);

    InputHost& host_;
    quint8 lastMouseButton_ = 0;
    quint8 lastKeyCode_ = 0;
    bool mouseInside_ = false;
    // True from the first move over the button until the cursor is seen elsewhere.
    bool watchingHover_ = false;
};
