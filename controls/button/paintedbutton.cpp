#include "controls/button/paintedbutton.h"

#include "controls/button/accesskey.h"
#include "controls/button/buttonsettings.h"
#include "controls/button/caption.h"
#include "controls/button/propertybag.h"
#include "controls/button/surface.h"
#include "controls/button/syscolors.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QScopedValueRollback>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Qt's cursors for the classic pointer numbers 1 to 15; no Qt cursor looks like the old
// icon pointer (4), so it shows the arrow.
constexpr std::array<Qt::CursorShape, 15> pointerShapes{
    Qt::ArrowCursor,   Qt::CrossCursor,     Qt::IBeamCursor,   Qt::ArrowCursor,
    Qt::SizeAllCursor, Qt::SizeBDiagCursor, Qt::SizeVerCursor, Qt::SizeFDiagCursor,
    Qt::SizeHorCursor, Qt::UpArrowCursor,   Qt::WaitCursor,    Qt::ForbiddenCursor,
    Qt::BusyCursor,    Qt::WhatsThisCursor, Qt::SizeAllCursor,
};

constexpr int customPointer = 99;

qint16 classicButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

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

// The virtual-key code of a key, 0 for keys without one.
qint16 classicKeyCode(const QKeyEvent* event)
{
    const int key = event->key();
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return qint16(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return qint16(112 + key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    default:
        return 0;
    }
}

} // namespace

paintedButton::paintedButton(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    // Moves without a button held are what shows the hover look.
    setMouseTracking(true);
    setNewInstanceColours();
    // A click from code counts as a click of the left button.
    connect(this, &QAbstractButton::clicked, this, [this] { input_.accessKey(); });
}

QSize paintedButton::sizeHint() const
{
    // The old default command button size, grown to fit a long caption.
    const QSize caption = fontMetrics().size(Qt::TextShowMnemonic, text());
    return QSize(std::max(75, caption.width() + 16), std::max(23, caption.height() + 10));
}

// The common end of every write that changes the palette in place.
void paintedButton::repaintWithNewColours(const char* key)
{
    buildPalette();
    paintFace(drawn_.state, true);
    notify(key);
}

void paintedButton::setBackColor(quint32 color)
{
    backColor_ = color;
    // While a form is designed the hover colour follows, so a new colour needs one setting.
    if (!userMode_)
        backOver_ = color;
    repaintWithNewColours("BCOL");
}

void paintedButton::setBackOver(quint32 color)
{
    backOver_ = color;
    repaintWithNewColours("BCOLO");
}

void paintedButton::setForeColor(quint32 color)
{
    foreColor_ = color;
    if (!userMode_)
        foreOver_ = color;
    repaintWithNewColours("FCOL");
}

void paintedButton::setForeOver(quint32 color)
{
    foreOver_ = color;
    repaintWithNewColours("FCOLO");
}

void paintedButton::setMaskColor(quint32 color)
{
    maskColor_ = color;
    repaintWithNewColours("MCOL");
}

void paintedButton::setButtonType(qint32 type)
{
    buttonType_ = type;
    // The flat style reads best with a bold caption, so the designer gets one.
    if (type == 5 && !userMode_) {
        QFont bold = font();
        bold.setBold(true);
        setFontQuietly(bold);
    } else if (type == 11 && drawingAllowed_) {
        grabParentBackground();
    }
    handleResize();
    notify("BTYPE");
}

void paintedButton::setCaption(const QString& caption)
{
    QAbstractButton::setText(caption);
    accessKeyFromCaption();
    layoutContent();
    paintFace(0, true);
    notify("TX");
}

void paintedButton::setEnabled(bool enabled)
{
    enabled_ = enabled;
    paintFace(0, true);
    QWidget::setEnabled(enabled);
    notify("ENAB");
}

void paintedButton::setFont(const QFont& font)
{
    setFontQuietly(font);
    layoutContent();
    paintFace(0, true);
    notify("FONT");
}

void paintedButton::setFontBold(bool bold)
{
    QFont changed = font();
    changed.setBold(bold);
    changeFontAttribute(changed);
}

void paintedButton::setFontItalic(bool italic)
{
    QFont changed = font();
    changed.setItalic(italic);
    changeFontAttribute(changed);
}

void paintedButton::setFontUnderline(bool underline)
{
    QFont changed = font();
    changed.setUnderline(underline);
    changeFontAttribute(changed);
}

qint16 paintedButton::FontSize() const
{
    // A font given in pixels has no point size of its own; ask what it is on screen.
    qreal size = font().pointSizeF();
    if (size <= 0)
        size = QFontInfo(font()).pointSizeF();
    return qint16(std::nearbyint(size));
}

bool paintedButton::setFontSize(qint16 size)
{
    if (size < 1)
        return false;
    QFont changed = font();
    changed.setPointSize(size);
    changeFontAttribute(changed);
    return true;
}

void paintedButton::setFontName(const QString& name)
{
    QFont changed = font();
    changed.setFamily(name);
    changeFontAttribute(changed);
}

void paintedButton::setColorScheme(qint32 scheme)
{
    colorScheme_ = scheme;
    buildPalette();
    paintFace(0, true);
    notify("COLTYPE");
}

void paintedButton::setDisplayAsDefault(bool isDefault)
{
    displayAsDefault_ = isDefault;
    // An ambient change: own colours are left alone, the other schemes rebuild and repaint.
    if (colorScheme_ != 2) {
        buildPalette();
        paintFace(drawn_.state, true);
    }
}

void paintedButton::setShowFocusRect(bool show)
{
    showFocusRect_ = show;
    paintFace(drawn_.state, true);
    notify("FOCUSR");
}

bool paintedButton::setMousePointer(qint32 pointer)
{
    if (pointer < INT16_MIN || pointer > INT16_MAX)
        return false;
    mousePointer_ = qint16(pointer);
    applyPointer();
    notify("MPTR");
    return true;
}

void paintedButton::setMouseIcon(const QImage& icon)
{
    mouseIcon_ = icon;
    handIcon_ = false;
    applyPointer();
    notify("MICON");
}

void paintedButton::setMouseIcon(const QPixmap& icon)
{
    setMouseIcon(icon.toImage());
}

void paintedButton::setHandPointer(bool hand)
{
    handPointer_ = hand;
    mouseIcon_ = QImage();
    handIcon_ = hand;
    mousePointer_ = hand ? customPointer : 1;
    applyPointer();
    notify("HAND");
}

void paintedButton::setSoftBevel(bool soft)
{
    softBevel_ = soft;
    repaintWithNewColours("SOFT");
}

void paintedButton::setPictureNormal(const QImage& picture)
{
    pictureNormal_ = picture;
    measurePicture();
    layoutContent();
    paintFace(drawn_.state, true);
    notify("PICN");
}

void paintedButton::setPictureOver(const QImage& picture)
{
    pictureOver_ = picture;
    if (input_.mouseInside())
        paintFace(drawn_.state, true);
    notify("PICO");
}

void paintedButton::setPicturePosition(qint32 position)
{
    picturePosition_ = position;
    notify("PICPOS");
    layoutContent();
    paintFace(drawn_.state, true);
}

void paintedButton::setUseMaskColor(bool use)
{
    useMaskColor_ = use;
    if (!pictureNormal_.isNull())
        paintFace(drawn_.state, true);
    notify("UMCOL");
}

void paintedButton::setUseGreyscale(bool use)
{
    useGreyscale_ = use;
    if (!pictureNormal_.isNull())
        paintFace(drawn_.state, true);
    notify("NGREY");
}

void paintedButton::setSpecialEffect(qint32 effect)
{
    specialEffect_ = effect;
    paintFace(drawn_.state, true);
    notify("FX");
}

void paintedButton::setCheckBoxBehaviour(bool check)
{
    checkBoxBehaviour_ = check;
    // The last face may be pushed only because the button was a ticked check box.
    paintFace(leftPressed_ ? 2 : 0, true);
    notify("CHECK");
}

void paintedButton::setValue(bool value)
{
    value_ = value;
    if (checkBoxBehaviour_)
        paintFace(0, true);
    notify("VALUE");
}

void paintedButton::DisableRefresh()
{
    drawingAllowed_ = false;
}

void paintedButton::Refresh()
{
    if (buttonType_ == 11)
        grabParentBackground();
    buildPalette();
    layoutContent();
    drawingAllowed_ = true;
    paintFace(drawn_.state, true);
}

void paintedButton::InitProperties()
{
    const QScopedValueRollback<bool> quiet(quiet_, true);
    enabled_ = showFocusRect_ = useMaskColor_ = true;
    // The object name is what the form calls this button.
    QAbstractButton::setText(objectName());
    // An empty font resets the button to its window's font.
    QWidget::setFont(QFont());
    buttonType_ = 2;
    colorScheme_ = 1;
    setNewInstanceColours();
    layoutContent();
    accessKeyFromCaption();
}

void paintedButton::ReadProperties(const PropertyBag& bag)
{
    const QScopedValueRollback<bool> quiet(quiet_, true);
    ButtonSettings current;
    current.Font = font();
    const ButtonSettings s = readButtonSettings(bag, current);
    buttonType_ = s.ButtonType;
    QAbstractButton::setText(s.Caption);
    enabled_ = s.Enabled;
    if (s.Font != font())
        QWidget::setFont(s.Font);
    colorScheme_ = s.ColorScheme;
    showFocusRect_ = s.ShowFocusRect;
    backColor_ = s.BackColor;
    backOver_ = s.BackOver;
    foreColor_ = s.ForeColor;
    foreOver_ = s.ForeOver;
    maskColor_ = s.MaskColor;
    mousePointer_ = s.MousePointer;
    mouseIcon_ = s.MouseIcon;
    handIcon_ = false;
    pictureNormal_ = s.PictureNormal;
    pictureOver_ = s.PictureOver;
    useMaskColor_ = s.UseMaskColor;
    softBevel_ = s.SoftBevel;
    picturePosition_ = s.PicturePosition;
    useGreyscale_ = s.UseGreyscale;
    specialEffect_ = s.SpecialEffect;
    // The hand setting decides pointer and icon, whatever MPTR and MICON held.
    setHandPointer(s.HandPointer);
    checkBoxBehaviour_ = s.CheckBoxBehaviour;
    value_ = s.Value;

    QWidget::setEnabled(enabled_);
    measurePicture();
    layoutContent();
    accessKeyFromCaption();
}

void paintedButton::WriteProperties(PropertyBag& bag) const
{
    ButtonSettings s;
    s.ButtonType = buttonType_;
    s.Caption = text();
    s.Enabled = enabled_;
    s.Font = font();
    // The bag keeps fonts by point size; a font set in pixels is saved at its size on screen.
    if (s.Font.pointSizeF() <= 0)
        s.Font.setPointSizeF(QFontInfo(font()).pointSizeF());
    s.ColorScheme = colorScheme_;
    s.ShowFocusRect = showFocusRect_;
    s.BackColor = backColor_;
    s.BackOver = backOver_;
    s.ForeColor = foreColor_;
    s.ForeOver = foreOver_;
    s.MaskColor = maskColor_;
    s.MousePointer = mousePointer_;
    s.MouseIcon = mouseIcon_;
    s.PictureNormal = pictureNormal_;
    s.PictureOver = pictureOver_;
    s.UseMaskColor = useMaskColor_;
    s.SoftBevel = softBevel_;
    s.PicturePosition = picturePosition_;
    s.UseGreyscale = useGreyscale_;
    s.SpecialEffect = specialEffect_;
    s.HandPointer = handPointer_;
    s.CheckBoxBehaviour = checkBoxBehaviour_;
    s.Value = value_;
    writeButtonSettings(bag, s);
}

void paintedButton::paintEvent(QPaintEvent*)
{
    // The face is drawn by paintFace into face_; a repaint of the window only shows it, unless
    // the button has moved to a screen of another resolution.
    if (!face_.isNull() && face_.devicePixelRatio() != devicePixelRatioF()) {
        layoutContent();
        face_ = renderFace(drawn_.state);
    }
    QPainter painter(this);
    painter.drawImage(0, 0, face_);
}

bool paintedButton::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut) {
        input_.accessKey();
        return true;
    }
    return QAbstractButton::event(event);
}

void paintedButton::mousePressEvent(QMouseEvent* event)
{
    const QPointF at = event->position();
    input_.mouseDown(classicButton(event->button()), classicShift(event->modifiers()),
                     float(at.x()), float(at.y()));
    leftPressed_ = event->button() == Qt::LeftButton;
    doubleClicked_ = false;
}

void paintedButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        input_.doubleClick();
    else
        mousePressEvent(event);
    leftPressed_ = event->button() == Qt::LeftButton;
    doubleClicked_ = true;
}

void paintedButton::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF at = event->position();
    const bool over = overShape(at);
    input_.mouseMove(classicButtons(event->buttons()), classicShift(event->modifiers()),
                     float(at.x()), float(at.y()), over);
    // The hover ends as soon as the cursor is seen off the button, even while it is pressed.
    if (!over)
        input_.cursorLeft();
}

void paintedButton::mouseReleaseEvent(QMouseEvent* event)
{
    const QPointF at = event->position();
    input_.mouseUp(classicButton(event->button()), classicShift(event->modifiers()), float(at.x()),
                   float(at.y()));
    const bool clicked =
        event->button() == Qt::LeftButton && leftPressed_ && !doubleClicked_ && overShape(at);
    leftPressed_ = false;
    doubleClicked_ = false;
    if (clicked)
        input_.click();
}

void paintedButton::keyPressEvent(QKeyEvent* event)
{
    const qint16 keyCode = classicKeyCode(event);
    if (keyCode != 0)
        input_.keyDown(keyCode, classicShift(event->modifiers()));
    const QString text = event->text();
    if (!text.isEmpty() && text.at(0).unicode() < 0x8000)
        input_.keyPress(qint16(text.at(0).unicode()));
}

void paintedButton::keyReleaseEvent(QKeyEvent* event)
{
    // A held key repeats its press only, as the old desktop did.
    if (event->isAutoRepeat())
        return;
    const qint16 keyCode = classicKeyCode(event);
    if (keyCode != 0)
        input_.keyUp(keyCode, classicShift(event->modifiers()));
}

void paintedButton::resizeEvent(QResizeEvent* event)
{
    QAbstractButton::resizeEvent(event);
    if (!capturing_)
        handleResize();
}

void paintedButton::showEvent(QShowEvent* event)
{
    QAbstractButton::showEvent(event);
    if (capturing_)
        return;
    if (buttonType_ == 11) {
        // The copy of the parent's pixels has the size the button has when first shown.
        if (background_.isNull()) {
            const qreal ratio = devicePixelRatioF();
            background_ = QImage(qRound(clientWidth_ * ratio), qRound(clientHeight_ * ratio),
                                 QImage::Format_RGB32);
            background_.setDevicePixelRatio(ratio);
        }
        grabParentBackground();
    }
    drawingAllowed_ = true;
    buildPalette();
    paintFace(0, true);
}

void paintedButton::hideEvent(QHideEvent* event)
{
    QAbstractButton::hideEvent(event);
    if (!capturing_)
        drawingAllowed_ = false;
}

void paintedButton::changeEvent(QEvent* event)
{
    QAbstractButton::changeEvent(event);
    if (quiet_)
        return;
    switch (event->type()) {
    case QEvent::EnabledChange:
        // Enabling through QWidget, or by the window, must show on the face too.
        enabled_ = !testAttribute(Qt::WA_ForceDisabled);
        paintFace(drawn_.state, true);
        break;
    case QEvent::FontChange:
        layoutContent();
        paintFace(0, true);
        break;
    case QEvent::PaletteChange:
        // Own colours stay as set; the other schemes follow the desktop's colours.
        if (colorScheme_ != 2) {
            buildPalette();
            paintFace(drawn_.state, true);
        }
        break;
    default:
        break;
    }
}

void paintedButton::enterEvent(QEnterEvent* event)
{
    QAbstractButton::enterEvent(event);
    // Arriving over the button is hovering it, whether or not a move follows.
    if (QGuiApplication::mouseButtons() == Qt::NoButton && overShape(event->position()))
        input_.cursorEntered();
}

void paintedButton::leaveEvent(QEvent* event)
{
    QAbstractButton::leaveEvent(event);
    input_.cursorLeft();
}

void paintedButton::focusInEvent(QFocusEvent* event)
{
    QAbstractButton::focusInEvent(event);
    paintFace(drawn_.state, true);
}

void paintedButton::focusOutEvent(QFocusEvent* event)
{
    QAbstractButton::focusOutEvent(event);
    paintFace(drawn_.state, true);
}

void paintedButton::setNewInstanceColours()
{
    buildPalette();
    backColor_ = backOver_ = palette_.FaceColor;
    maskColor_ = 0xC0C0C0;
    foreColor_ = foreOver_ = palette_.TextColor;
}

PaletteInputs paintedButton::paletteInputs() const
{
    PaletteInputs in;
    in.ColorScheme = colorScheme_;
    in.ButtonType = buttonType_;
    in.SoftBevel = softBevel_;
    in.BackColor = backColor_;
    in.BackOver = backOver_;
    in.ForeColor = foreColor_;
    in.ForeOver = foreOver_;
    in.MaskColor = maskColor_;
    // The colours the parent window paints with.
    if (const QWidget* parent = parentWidget()) {
        in.ParentBackColor = bgrFromColor(parent->palette().color(parent->backgroundRole()));
        in.ParentTextColor = bgrFromColor(parent->palette().color(parent->foregroundRole()));
    }
    return in;
}

void paintedButton::buildPalette()
{
    palette_ = BuildPalette(paletteInputs());
}

void paintedButton::layoutContent()
{
    CaptionContent content;
    content.caption = text();
    content.font = font();
    content.client = QSize(clientWidth_, clientHeight_);
    content.picturePosition = picturePosition_;
    content.picture = QSize(pictureWidth_, pictureHeight_);
    content.hasPicture = !pictureNormal_.isNull() || !pictureOver_.isNull();
    QImage measuring = PaintSurface::MeasuringImage(devicePixelRatioF(), dotsPerMeter());
    layout_ = LayoutContent(content, layout_, &measuring);
}

void paintedButton::measurePicture()
{
    const QSizeF size = pictureNormal_.deviceIndependentSize();
    pictureWidth_ = qRound(size.width());
    pictureHeight_ = qRound(size.height());
}

void paintedButton::accessKeyFromCaption()
{
    // Our own rule for the access key replaces the one Qt derived from the text.
    const QString key = AccessKeyFromCaption(text());
    if (key.isEmpty())
        setShortcut(QKeySequence());
    else
        setShortcut(QKeySequence(QKeyCombination(Qt::ALT, Qt::Key(key[0].toUpper().unicode()))));
}

void paintedButton::handleResize()
{
    clientWidth_ = width();
    clientHeight_ = height();
    focusBox_ = FocusBoxOf(buttonType_, clientWidth_, clientHeight_);
    layoutContent();
    // Only a button inside a window is shaped; one shown as a window of its own stays whole.
    if (!isWindow())
        setMask(BuildShape(buttonType_, clientWidth_, clientHeight_));
    if (clientHeight_ != 0)
        paintFace(0, true);
}

ButtonFace paintedButton::faceToPaint(int state) const
{
    ButtonFace face;
    face.buttonType = buttonType_;
    face.state = state;
    face.enabled = enabled_ && isEnabled();
    face.mouseInside = input_.mouseInside() && face.enabled;
    face.focused = hasFocus();
    face.showFocusRect = showFocusRect_;
    face.displayAsDefault = displayAsDefault_;
    face.softBevel = softBevel_;
    face.colorScheme = colorScheme_;
    face.specialEffect = specialEffect_;
    // Under the mouse the custom colours hover in BackOver, edges included.
    face.colours = face.mouseInside ? BuildHoverPalette(paletteInputs()) : palette_;
    face.content.caption = text();
    face.content.font = font();
    face.content.client = QSize(clientWidth_, clientHeight_);
    face.content.picturePosition = picturePosition_;
    face.content.picture = QSize(pictureWidth_, pictureHeight_);
    face.content.hasPicture = !pictureNormal_.isNull() || !pictureOver_.isNull();
    face.layout = layout_;
    face.focusBox = focusBox_;
    face.drawnEffect = drawnEffect_;
    face.pictureNormal = pictureNormal_;
    face.pictureOver = pictureOver_;
    face.useMaskColor = useMaskColor_;
    face.useGreyscale = useGreyscale_;
    face.background = background_;
    return face;
}

void paintedButton::paintFace(int state, bool force)
{
    const int drawnState = AcceptPaintRequest(
        drawn_, state, force, text(), checkBoxBehaviour_ && value_, clientHeight_, drawingAllowed_);
    if (drawnState < 0)
        return;
    face_ = renderFace(drawnState);
    update();
}

int paintedButton::dotsPerMeter() const
{
    // Text on the face is as large as the same font elsewhere on this screen.
    return qRound(logicalDpiY() / 0.0254);
}

QImage paintedButton::renderFace(int state)
{
    ButtonFace face = faceToPaint(state);
    // The face has the resolution of the screen the button is on.
    const qreal ratio = devicePixelRatioF();
    QImage image(qRound(clientWidth_ * ratio), qRound(clientHeight_ * ratio), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.setDotsPerMeterX(dotsPerMeter());
    image.setDotsPerMeterY(dotsPerMeter());
    PaintSurface surface(image);
    PaintFace(surface, face);
    drawnEffect_ = face.drawnEffect;
    // A pushed light face lends its shade to the caption; the palette keeps its own light colour.
    if (buttonType_ == 4 && face.enabled && state == 2)
        palette_.FaceLightColor = ShadeColor(palette_.FaceColor, 48, false, softBevel_);
    return image;
}

void paintedButton::applyPointer()
{
    if (mousePointer_ >= 1 && mousePointer_ <= int(pointerShapes.size()))
        setCursor(pointerShapes[mousePointer_ - 1]);
    else if (mousePointer_ == customPointer && handIcon_)
        setCursor(Qt::PointingHandCursor);
    else if (mousePointer_ == customPointer && !mouseIcon_.isNull())
        setCursor(QCursor(QPixmap::fromImage(mouseIcon_)));
    else
        unsetCursor();
}

void paintedButton::setFontQuietly(const QFont& font)
{
    const QScopedValueRollback<bool> quiet(quiet_, true);
    QWidget::setFont(font);
}

void paintedButton::changeFontAttribute(const QFont& font)
{
    setFontQuietly(font);
    layoutContent();
    paintFace(0, true);
}

bool paintedButton::overShape(const QPointF& position) const
{
    return BuildShape(buttonType_, width(), height()).contains(position.toPoint());
}

void paintedButton::grabParentBackground()
{
    QWidget* parent = parentWidget();
    if (!parent || background_.isNull())
        return;
    // With no height the button covers nothing, so the parent shows what lies behind it.
    const QScopedValueRollback<bool> capturing(capturing_, true);
    const QRect place = geometry();
    resize(place.width(), 0);
    const QImage behind = parent->grab(place).toImage();
    resize(place.size());
    QPainter painter(&background_);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QRect(QPoint(0, 0), behind.deviceIndependentSize().toSize()), behind);
}

void paintedButton::notify(const char* key)
{
    emit PropertyChanged(QString::fromLatin1(key));
}
