#pragma once

#include "controls/button/buttonsettings.h"
#include "controls/button/faces.h"
#include "controls/button/facestate.h"
#include "controls/button/input.h"
#include "controls/button/palette.h"

#include <QAbstractButton>
#include <QImage>

class PropertyBag;
class QPixmap;

// A command button that paints its own face. The caption marks its access key with
// an & ("&Save"); "&&" shows a literal &. Colours are 0x00BBGGRR values, or system colour
// references with 0x80 in the top byte. Every setter of a saved setting emits PropertyChanged
// with the setting's property bag key once it has stored, rebuilt and redrawn.
class paintedButton : public QAbstractButton, private InputHost {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)

public:
    explicit paintedButton(QWidget* parent = nullptr);

    quint32 BackColor() const { return settings_.BackColor; }
    void setBackColor(quint32 color);
    quint32 BackOver() const { return settings_.BackOver; }
    void setBackOver(quint32 color);
    quint32 ForeColor() const { return settings_.ForeColor; }
    void setForeColor(quint32 color);
    quint32 ForeOver() const { return settings_.ForeOver; }
    void setForeOver(quint32 color);
    quint32 MaskColor() const { return settings_.MaskColor; }
    void setMaskColor(quint32 color);

    // Face style 1-14; other values are stored as given.
    qint32 ButtonType() const { return settings_.ButtonType; }
    void setButtonType(qint32 type);

    QString Caption() const { return settings_.Caption; }
    void setCaption(const QString& caption);

    bool Enabled() const { return settings_.Enabled; }
    void setEnabled(bool enabled);

    QFont Font() const { return settings_.Font; }
    void setFont(const QFont& font);
    // The Font* setters change one attribute of the font without a notification of their own.
    bool FontBold() const { return settings_.Font.bold(); }
    void setFontBold(bool bold);
    bool FontItalic() const { return settings_.Font.italic(); }
    void setFontItalic(bool italic);
    bool FontUnderline() const { return settings_.Font.underline(); }
    void setFontUnderline(bool underline);
    // The point size to the nearest whole number, halves to even.
    qint16 FontSize() const;
    // Fails for a size below 1.
    bool setFontSize(qint16 size);
    QString FontName() const { return settings_.Font.family(); }
    void setFontName(const QString& name);

    // 2: the colour properties; 3: a fixed grey set; 4: the parent's colours; else the system's.
    qint32 ColorScheme() const { return settings_.ColorScheme; }
    void setColorScheme(qint32 scheme);

    bool ShowFocusRect() const { return settings_.ShowFocusRect; }
    void setShowFocusRect(bool show);

    // The classic pointer numbers: 0 default, 1 arrow ... 15 size all, 99 the MouseIcon.
    qint32 MousePointer() const { return settings_.MousePointer; }
    // Fails, changing nothing, for a number outside the 16-bit range.
    bool setMousePointer(qint32 pointer);

    // The custom pointer picture; null when there is none or when it is the hand pointer.
    QImage MouseIcon() const { return settings_.MouseIcon; }
    void setMouseIcon(const QImage& icon);
    void setMouseIcon(const QPixmap& icon);

    // True: the hand as mouse icon and pointer 99; false: no icon and pointer 1.
    bool HandPointer() const { return settings_.HandPointer; }
    void setHandPointer(bool hand);

    bool SoftBevel() const { return settings_.SoftBevel; }
    void setSoftBevel(bool soft);

    QImage PictureNormal() const { return settings_.PictureNormal; }
    void setPictureNormal(const QImage& picture);
    QImage PictureOver() const { return settings_.PictureOver; }
    void setPictureOver(const QImage& picture);
    // 0 left of the caption, 1 right, 2 above, 3 below, 4 behind.
    qint32 PicturePosition() const { return settings_.PicturePosition; }
    void setPicturePosition(qint32 position);
    bool UseMaskColor() const { return settings_.UseMaskColor; }
    void setUseMaskColor(bool use);
    bool UseGreyscale() const { return settings_.UseGreyscale; }
    void setUseGreyscale(bool use);

    qint32 SpecialEffect() const { return settings_.SpecialEffect; }
    void setSpecialEffect(qint32 effect);

    bool CheckBoxBehaviour() const { return settings_.CheckBoxBehaviour; }
    void setCheckBoxBehaviour(bool check);
    bool Value() const { return settings_.Value; }
    void setValue(bool value);

    // Property writes stop redrawing the face until Refresh or the next show.
    void DisableRefresh();
    // Rebuilds palette and layout, allows drawing again and redraws.
    void Refresh();

    // Restores the 23 saved settings; the palette and the face wait for the next show.
    void ReadProperties(const PropertyBag& bag);
    // Saves the 23 settings, every one even at its default, except pictures that are not set.
    void WriteProperties(PropertyBag& bag) const;

    // The container's ambient UserMode: false while its form is being designed.
    bool UserMode() const { return userMode_; }
    void setUserMode(bool userMode) { userMode_ = userMode; }

    // The container's ambient DisplayAsDefault: its window shows this button as its default.
    bool DisplayAsDefault() const { return displayAsDefault_; }
    void setDisplayAsDefault(bool isDefault);

    const ButtonPalette& buttonPalette() const { return palette_; }
    // The face as last painted, at the device pixel ratio of the button's screen.
    QImage faceImage() const { return face_; }
    QRect focusBox() const { return focusBox_; }
    // The size of PictureNormal in pixels, empty without a picture.
    QSize pictureSize() const { return settings_.pictureSize(); }

    QSize sizeHint() const override;

signals:
    // The user clicked the button with the left mouse button, or pressed Space, Enter or its
    // access key; the raised face is already on screen.
    void Click();
    // Mouse and key events with their classic values: buttons 1 left, 2 right, 4 middle; shift
    // 1 Shift, 2 Ctrl, 4 Alt; virtual-key codes. A handler may change the values it is given
    // (connect it directly), and the button goes on with what it left.
    void MouseDown(qint16& Button, qint16& Shift, float& X, float& Y);
    void MouseMove(qint16& Button, qint16& Shift, float& X, float& Y);
    void MouseUp(qint16& Button, qint16& Shift, float& X, float& Y);
    void KeyPress(qint16& KeyAscii);
    void KeyDown(qint16& KeyCode, qint16& Shift);
    void KeyUp(qint16& KeyCode, qint16& Shift);
    // The cursor came over the button, and left it again.
    void MouseOver();
    void MouseOut();
    // A saved setting changed; `key` is its property bag key, but "PICO" for PictureOver,
    // which the bag keeps under "PICH".
    void PropertyChanged(const QString& key);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void paintFaceFor(int state, bool force) override { paintFace(state, force); }
    void showFaceNow() override { repaint(); }
    bool isButtonEnabled() const override { return settings_.Enabled; }
    bool checkBoxBehaviour() const override { return settings_.CheckBoxBehaviour; }
    void toggleValue() override { settings_.Value = !settings_.Value; }
    void moveFocus(bool next) override { focusNextPrevChild(next); }
    void raiseClick() override { emit Click(); }
    void raiseMouseDown(qint16& b, qint16& s, float& x, float& y) override
    {
        emit MouseDown(b, s, x, y);
    }
    void raiseMouseMove(qint16& b, qint16& s, float& x, float& y) override
    {
        emit MouseMove(b, s, x, y);
    }
    void raiseMouseUp(qint16& b, qint16& s, float& x, float& y) override
    {
        emit MouseUp(b, s, x, y);
    }
    void raiseKeyDown(qint16& keyCode, qint16& shift) override { emit KeyDown(keyCode, shift); }
    void raiseKeyPress(qint16& keyAscii) override { emit KeyPress(keyAscii); }
    void raiseKeyUp(qint16& keyCode, qint16& shift) override { emit KeyUp(keyCode, shift); }
    void raiseMouseOver() override { emit MouseOver(); }
    void raiseMouseOut() override { emit MouseOut(); }

    // Stores a setting that the palette is built from, rebuilds it and repaints.
    template <typename T> void changeColours(T ButtonSettings::*setting, T value);
    // Stores a setting of the face's look and repaints the face on screen.
    template <typename T> void changeLook(T ButtonSettings::*setting, T value);
    // Stores a setting of the picture's look, repainting only a button with a picture.
    void changePictureLook(bool ButtonSettings::*setting, bool value);

    bool overShape(const QPointF& position) const;
    void grabParentBackground();
    ParentColours parentColours() const;
    void buildPalette();
    void layoutContent();
    void accessKeyFromCaption();
    void handleResize();
    void paintFace(int state, bool force);
    // Paints `state` anew and records the caption effect it drew.
    void showState(int state);
    ButtonFace faceToPaint(int state) const;
    QImage renderFace(ButtonFace& face) const;
    int dotsPerMeter() const;
    QSize clientSize() const { return QSize(clientWidth_, clientHeight_); }
    void applyPointer();
    void setFontQuietly(const QFont& font);
    void changeFontAttribute(const QFont& font);
    void notify(SettingMember setting);

    ButtonSettings settings_;
    // The custom pointer is the hand, until a MouseIcon is set.
    bool handIcon_ = false;
    bool userMode_ = true;
    ButtonPalette palette_;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    QRect focusBox_;
    CaptionLayout layout_;
    bool displayAsDefault_ = false;
    bool drawingAllowed_ = true;
    ButtonInput input_{*this};
    // A left press on the button whose release may count as a click.
    bool leftPressed_ = false;
    // The press was the second of a double click, so its release clicks nothing.
    bool doubleClicked_ = false;
    // Set while the parent's pixels behind a transparent button are copied.
    bool capturing_ = false;
    QImage background_;
    DrawnFace drawn_;
    QImage face_;
    // Set while settings are applied without the steps of their property writes.
    bool quiet_ = false;
};
