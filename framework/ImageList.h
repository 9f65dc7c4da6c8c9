// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QObject>
#include <QVector>

class TCanvas;

// A list of equally sized pictures addressed by index. Change() is the change link that controls
// holding the list (through a QPointer) listen to.
class TImageList : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)

public:
    explicit TImageList(QObject* parent = nullptr);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    void SetWidth(int width);
    void SetHeight(int height);

    int Count() const { return int(m_images.size()); }
    // Adds a picture scaled to the list's size; returns its index.
    int Add(const QImage& image);
    void Clear();
    QImage Image(int index) const;
    // Draws picture `index` with its top-left corner at (x, y); an index out of range draws nothing.
    void Draw(TCanvas& canvas, int x, int y, int index) const;

signals:
    void Change();

private:
    int m_width = 16;
    int m_height = 16;
    QVector<QImage> m_images;
};
