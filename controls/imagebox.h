#pragma once

#include "core/status.h"

#include <QFrame>
#include <QPixmap>
#include <QString>

// A picture box with a single-line border that stretches its picture to fill itself.
// When a picture cannot be shown it shows a short notice instead, never an old picture.
// What is pasted or dropped on it is passed on to its window, which decides.
class ImageBox : public QFrame {
    Q_OBJECT

public:
    // Pictures larger than this are refused before they are decoded, so a crafted or
    // oversized file cannot take the memory of the program.
    static constexpr qint64 kMaxPicturePixels = 4096 * 4096;

    explicit ImageBox(QWidget* parent = nullptr);

    QPixmap picture() const { return picture_; }
    void setPicture(const QPixmap& picture);
    void clearPicture();

    QString notice() const { return notice_; }
    // Empties the box and shows this text in it.
    void showNotice(const QString& text);

    // Reads an image file into out. Fails, with out null and a short reason for the user,
    // for an empty path, a missing file, a folder, an empty or unreadable file, a file that
    // is not a picture, or a picture too large to decode.
    static Status loadPicture(const QString& path, QPixmap& out);

signals:
    // A picture or a notice took the place of what the box showed.
    void pictureChanged();
    // Ctrl+V on the box, or Paste from its context menu.
    void pasteRequested();
    // A file dropped on the box.
    void fileDropped(const QString& path);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QPixmap picture_;
    QString notice_;
};
