#pragma once

#include <QFrame>
#include <QPixmap>

// A picture box with a single-line border that stretches its picture to fill itself.
class ImageBox : public QFrame {
    Q_OBJECT

public:
    explicit ImageBox(QWidget* parent = nullptr);

    QPixmap picture() const { return picture_; }
    void setPicture(const QPixmap& picture);
    void clearPicture();

    // Reads an image file into out. False, with out null, for an empty path, a missing
    // file or one that is not an image, which all mean the box shows nothing.
    static bool loadPicture(const QString& path, QPixmap& out);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};
