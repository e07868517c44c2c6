#include "controls/button/paintedbutton.h"

#include "controls/button/accessiblebutton.h"
#include "controls/button/accesskey.h"
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
#include <cmath>

paintedButton::paintedButton(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    // Moves without a button held are what shows the hover look.
    setMouseTracking(true);
    settings_.Font = font();
    buildPalette();
    // A click from code counts as a click of the left button.
    connect(this, &QAbstractButton::clicked, this, [this] { input_.accessKey(); });
    installButtonAccessibility();
}

QSize paintedButton::sizeHint() const
{
    // The old default command button size, grown to fit a long caption.
    const QSize caption = fontMetrics().size(Qt::TextShowMnemonic, text());
    return QSize(std::max(75, caption.width() + 16), std::max(23, caption.height() + 10));
}

template <typename T> void paintedButton::changeColours(T ButtonSettings::*setting, T value)
{
    settings_.*setting = value;
    buildPalette();
    paintFace(drawn_.state, true);
    notify(setting);
}

template <typename T> void paintedButton::changeLook(T ButtonSettings::*setting, T value)
{
    settings_.*setting = value;
    paintFace(drawn_.state, true);
    notify(setting);
}

void paintedButton::changePictureLook(bool ButtonSettings::*setting, bool value)
{
    settings_.*setting = value;
    if (!settings_.PictureNormal.isNull())
        paintFace(drawn_.state, true);
    notify(setting);
}

void paintedButton::setBackColor(quint32 color)
{
    // While a form is designed the hover colour follows, so a new colour needs one setting.
    if (!userMode_)
        settings_.BackOver = color;
    changeColours(&ButtonSettings::BackColor, color);
}

void paintedButton::setBackOver(quint32 color)
{
    changeColours(&ButtonSettings::BackOver, color);
}

void paintedButton::setForeColor(quint32 color)
{
    if (!userMode_)
        settings_.ForeOver = color;
    changeColours(&ButtonSettings::ForeColor, color);
}

void paintedButton::setForeOver(quint32 color)
{
    changeColours(&ButtonSettings::ForeOver, color);
}

void paintedButton::setMaskColor(quint32 color)
{
    changeColours(&ButtonSettings::MaskColor, color);
}

void paintedButton::setSoftBevel(bool soft)
{
    changeColours(&ButtonSettings::SoftBevel, soft);
}

void paintedButton::setButtonType(qint32 type)
{
    settings_.ButtonType = type;
    // Of the palette only the light working colour depends on the type; the rest waits for the
    // next build.
    palette_.FaceLightColor = FaceLightOf(palette_.FaceColor, type, settings_.SoftBevel);
    // The flat style reads best with a bold caption, so the designer gets one.
    if (type == 5 && !userMode_) {
        QFont bold = settings_.Font;
        bold.setBold(true);
        setFontQuietly(bold);
    } else if (type == 11 && drawingAllowed_) {
        grabParentBackground();
    }
    handleResize();
    notify(&ButtonSettings::ButtonType);
}

void paintedButton::setCaption(const QString& caption)
{
    settings_.Caption = caption;
    QAbstractButton::setText(caption);
    accessKeyFromCaption();
    layoutContent();
    paintFace(0, true);
    notify(&ButtonSettings::Caption);
}

void paintedButton::setEnabled(bool enabled)
{
    settings_.Enabled = enabled;
    paintFace(0, true);
    QWidget::setEnabled(enabled);
    notify(&ButtonSettings::Enabled);
}

void paintedButton::setFont(const QFont& font)
{
    changeFontAttribute(font);
    notify(&ButtonSettings::Font);
}

void paintedButton::setFontBold(bool bold)
{
    QFont changed = settings_.Font;
    changed.setBold(bold);
    changeFontAttribute(changed);
}

void paintedButton::setFontItalic(bool italic)
{
    QFont changed = settings_.Font;
    changed.setItalic(italic);
    changeFontAttribute(changed);
}

void paintedButton::setFontUnderline(bool underline)
{
    QFont changed = settings_.Font;
    changed.setUnderline(underline);
    changeFontAttribute(changed);
}

qint16 paintedButton::FontSize() const
{
    // A font given in pixels has no point size of its own; ask what it is on screen.
    qreal size = settings_.Font.pointSizeF();
    if (size <= 0)
        size = QFontInfo(settings_.Font).pointSizeF();
    return qint16(std::nearbyint(size));
}

bool paintedButton::setFontSize(qint16 size)
{
    if (size < 1)
        return false;
    QFont changed = settings_.Font;
    changed.setPointSize(size);
    changeFontAttribute(changed);
    return true;
}

void paintedButton::setFontName(const QString& name)
{
    QFont changed = settings_.Font;
    changed.setFamily(name);
    changeFontAttribute(changed);
}

void paintedButton::setColorScheme(qint32 scheme)
{
    settings_.ColorScheme = scheme;
    buildPalette();
    paintFace(0, true);
    notify(&ButtonSettings::ColorScheme);
}

void paintedButton::setDisplayAsDefault(bool isDefault)
{
    displayAsDefault_ = isDefault;
    // An ambient change: own colours are left alone, the other schemes rebuild and repaint.
    if (settings_.ColorScheme != 2) {
        buildPalette();
        paintFace(drawn_.state, true);
    }
}

void paintedButton::setShowFocusRect(bool show)
{
    changeLook(&ButtonSettings::ShowFocusRect, show);
}

void paintedButton::setSpecialEffect(qint32 effect)
{
    changeLook(&ButtonSettings::SpecialEffect, effect);
}

bool paintedButton::setMousePointer(qint32 pointer)
{
    if (pointer < INT16_MIN || pointer > INT16_MAX)
        return false;
    settings_.MousePointer = qint16(pointer);
    applyPointer();
    notify(&ButtonSettings::MousePointer);
    return true;
}

void paintedButton::setMouseIcon(const QImage& icon)
{
    settings_.MouseIcon = icon;
    handIcon_ = false;
    applyPointer();
    notify(&ButtonSettings::MouseIcon);
}

void paintedButton::setMouseIcon(const QPixmap& icon)
{
    setMouseIcon(icon.toImage());
}

void paintedButton::setHandPointer(bool hand)
{
    settings_.HandPointer = hand;
    settings_.MouseIcon = QImage();
    handIcon_ = hand;
    settings_.MousePointer = hand ? customPointer : 1;
    applyPointer();
    notify(&ButtonSettings::HandPointer);
}

void paintedButton::setPictureNormal(const QImage& picture)
{
    settings_.PictureNormal = picture;
    layoutContent();
    paintFace(drawn_.state, true);
    notify(&ButtonSettings::PictureNormal);
}

void paintedButton::setPictureOver(const QImage& picture)
{
    settings_.PictureOver = picture;
    if (input_.mouseInside())
        paintFace(drawn_.state, true);
    notify(&ButtonSettings::PictureOver);
}

void paintedButton::setPicturePosition(qint32 position)
{
    settings_.PicturePosition = position;
    notify(&ButtonSettings::PicturePosition);
    layoutContent();
    paintFace(drawn_.state, true);
}

void paintedButton::setUseMaskColor(bool use)
{
    changePictureLook(&ButtonSettings::UseMaskColor, use);
}

void paintedButton::setUseGreyscale(bool use)
{
    changePictureLook(&ButtonSettings::UseGreyscale, use);
}

void paintedButton::setCheckBoxBehaviour(bool check)
{
    settings_.CheckBoxBehaviour = check;
    // The last face may be pushed only because the button was a ticked check box.
    paintFace(leftPressed_ ? 2 : 0, true);
    notify(&ButtonSettings::CheckBoxBehaviour);
}

void paintedButton::setValue(bool value)
{
    settings_.Value = value;
    if (settings_.CheckBoxBehaviour)
        paintFace(0, true);
    notify(&ButtonSettings::Value);
}

void paintedButton::DisableRefresh()
{
    drawingAllowed_ = false;
}

void paintedButton::Refresh()
{
    if (settings_.ButtonType == 11)
        grabParentBackground();
    buildPalette();
    layoutContent();
    drawingAllowed_ = true;
    paintFace(drawn_.state, true);
}

void paintedButton::ReadProperties(const PropertyBag& bag)
{
    const QScopedValueRollback<bool> quiet(quiet_, true);
    settings_ = readButtonSettings(bag, font());
    QAbstractButton::setText(settings_.Caption);
    if (settings_.Font != font())
        QWidget::setFont(settings_.Font);
    // The hand setting decides pointer and icon, whatever MPTR and MICON held.
    setHandPointer(settings_.HandPointer);
    QWidget::setEnabled(settings_.Enabled);
    layoutContent();
    accessKeyFromCaption();
}

void paintedButton::WriteProperties(PropertyBag& bag) const
{
    ButtonSettings saved = settings_;
    // The bag keeps fonts by point size; a font set in pixels is saved at its size on screen.
    if (saved.Font.pointSizeF() <= 0)
        saved.Font.setPointSizeF(QFontInfo(saved.Font).pointSizeF());
    writeButtonSettings(bag, saved);
}

void paintedButton::paintEvent(QPaintEvent*)
{
    // The face is drawn by paintFace into face_; a repaint of the window only shows it, unless
    // the button has moved to a screen of another resolution.
    if (!face_.isNull() && face_.devicePixelRatio() != devicePixelRatioF()) {
        layoutContent();
        showState(drawn_.state);
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
    input_.mouseDown(classicButtons(event->button()), classicShift(event->modifiers()),
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
    input_.mouseUp(classicButtons(event->button()), classicShift(event->modifiers()), float(at.x()),
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
    const qint16 keyCode = classicKeyCode(event->key());
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
    const qint16 keyCode = classicKeyCode(event->key());
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
    if (settings_.ButtonType == 11) {
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
    // The font may also come from the parent, or be set through QWidget.
    if (event->type() == QEvent::FontChange)
        settings_.Font = font();
    if (quiet_)
        return;
    switch (event->type()) {
    case QEvent::EnabledChange:
        // Enabling through QWidget, or by the window, must show on the face too.
        settings_.Enabled = !testAttribute(Qt::WA_ForceDisabled);
        paintFace(drawn_.state, true);
        break;
    case QEvent::FontChange:
        layoutContent();
        paintFace(0, true);
        break;
    case QEvent::PaletteChange:
        // Own colours stay as set; the other schemes follow the desktop's colours.
        if (settings_.ColorScheme != 2) {
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

ParentColours paintedButton::parentColours() const
{
    const QWidget* parent = parentWidget();
    if (!parent)
        return {};
    const QPalette& colours = parent->palette();
    return {bgrFromColor(colours.color(parent->backgroundRole())),
            bgrFromColor(colours.color(parent->foregroundRole()))};
}

void paintedButton::buildPalette()
{
    palette_ = BuildPalette(settings_, parentColours());
}

void paintedButton::layoutContent()
{
    QImage measuring = PaintSurface::MeasuringImage(devicePixelRatioF(), dotsPerMeter());
    layout_ = LayoutContent(settings_, clientSize(), layout_, &measuring);
}

void paintedButton::accessKeyFromCaption()
{
    // Our own rule for the access key replaces the one Qt derived from the text.
    const QString key = AccessKeyFromCaption(settings_.Caption);
    if (key.isEmpty())
        setShortcut(QKeySequence());
    else
        setShortcut(QKeySequence(QKeyCombination(Qt::ALT, Qt::Key(key[0].toUpper().unicode()))));
}

void paintedButton::handleResize()
{
    clientWidth_ = width();
    clientHeight_ = height();
    focusBox_ = FocusBoxOf(settings_.ButtonType, clientWidth_, clientHeight_);
    layoutContent();
    // Only a button inside a window is shaped; one shown as a window of its own stays whole.
    if (!isWindow())
        setMask(BuildShape(settings_.ButtonType, clientWidth_, clientHeight_));
    if (clientHeight_ != 0)
        paintFace(0, true);
}

ButtonFace paintedButton::faceToPaint(int state) const
{
    const bool enabled = settings_.Enabled && isEnabled();
    const bool hovered = input_.mouseInside() && enabled;
    return ButtonFace{
        .settings = settings_,
        .state = state,
        .enabled = enabled,
        .mouseInside = hovered,
        .focused = hasFocus(),
        .displayAsDefault = displayAsDefault_,
        // Under the mouse the custom colours hover in BackOver, edges included.
        .colours = hovered ? BuildHoverPalette(settings_, parentColours()) : palette_,
        .client = clientSize(),
        .layout = layout_,
        .focusBox = focusBox_,
        .background = background_,
        .drawnEffect = drawn_.effect,
    };
}

void paintedButton::paintFace(int state, bool force)
{
    const int drawnState = AcceptPaintRequest(drawn_, state, force, settings_.Caption,
                                              settings_.CheckBoxBehaviour && settings_.Value,
                                              clientHeight_, drawingAllowed_);
    if (drawnState < 0)
        return;
    showState(drawnState);
    update();
}

void paintedButton::showState(int state)
{
    ButtonFace face = faceToPaint(state);
    face_ = renderFace(face);
    drawn_.effect = face.drawnEffect;
}

int paintedButton::dotsPerMeter() const
{
    // Text on the face is as large as the same font elsewhere on this screen.
    return qRound(logicalDpiY() / 0.0254);
}

QImage paintedButton::renderFace(ButtonFace& face) const
{
    // The face has the resolution of the screen the button is on.
    const qreal ratio = devicePixelRatioF();
    QImage image(qRound(face.client.width() * ratio), qRound(face.client.height() * ratio),
                 QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.setDotsPerMeterX(dotsPerMeter());
    image.setDotsPerMeterY(dotsPerMeter());
    PaintSurface surface(image);
    PaintFace(surface, face);
    return image;
}

void paintedButton::applyPointer()
{
    const auto shape =
        pointerShape(settings_.MousePointer, handIcon_, !settings_.MouseIcon.isNull());
    if (!shape)
        unsetCursor();
    else if (*shape == Qt::BitmapCursor)
        setCursor(QCursor(QPixmap::fromImage(settings_.MouseIcon)));
    else
        setCursor(*shape);
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
    return BuildShape(settings_.ButtonType, width(), height()).contains(position.toPoint());
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

void paintedButton::notify(SettingMember setting)
{
    emit PropertyChanged(settingChangeName(setting));
}
