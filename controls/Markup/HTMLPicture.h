// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QVector>
#include <memory>

// A picture the markup's image tag can draw: a still image or the frames of an animation.
class THTMLPicture {
public:
    // Loads synchronously from a local file path, a "file:" address or a "qrc:"/":" resource;
    // any other address scheme loads nothing. Returns whether a picture was loaded.
    bool LoadFromAddress(const QString& address);
    bool LoadFromFile(const QString& path);
    void SetImage(const QImage& image);

    bool Empty() const;
    QSize Size() const; // size of the current frame
    QSize MaxFrameSize() const; // largest frame of an animation (the size for a still image)
    QPoint FrameOffset() const; // offset of the current frame within the largest frame
    const QImage& Image() const; // the current frame
    int FrameCount() const;
    void SetFrame(int index); // an index outside the frames is ignored

private:
    struct Frame {
        QImage image;
        QPoint offset;
    };
    QVector<Frame> m_frames;
    int m_current = 0;
};

// Pictures loaded from "://" addresses, looked up by address; a label owns one.
class THTMLPictureCache {
public:
    THTMLPicture* Find(const QString& address) const;
    THTMLPicture* Add(const QString& address); // a new empty picture stored under `address`
    void Clear();
    int Count() const;

private:
    QVector<std::pair<QString, std::shared_ptr<THTMLPicture>>> m_items;
};

// Named pictures for the image tag's plain sources; controls hold it through a QPointer.
class TPictureContainer : public QObject {
    Q_OBJECT
public:
    explicit TPictureContainer(QObject* parent = nullptr);
    THTMLPicture* FindPicture(const QString& name) const;
    // Names are compared without regard to case; adding a known name replaces its picture.
    THTMLPicture* Add(const QString& name, const QImage& image);
    void Clear();
    int Count() const;

private:
    QVector<std::pair<QString, std::shared_ptr<THTMLPicture>>> m_items;
};
