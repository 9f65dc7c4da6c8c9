// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QString>
#include <functional>

// A picture holder whose change makes its owner repaint.
class TAdvImage {
public:
    bool Empty() const { return m_image.isNull(); }
    const QImage& Image() const { return m_image; }
    void SetImage(const QImage& image)
    {
        m_image = image;
        Changed();
    }
    // Loads a picture file; a file that cannot be read leaves the holder empty. Returns whether a
    // picture was loaded.
    bool LoadFromFile(const QString& path)
    {
        QImage image;
        const bool loaded = image.load(path);
        SetImage(loaded ? image : QImage());
        return loaded;
    }
    void Assign(const TAdvImage& source) { SetImage(source.m_image); }
    void Clear() { SetImage(QImage()); }

    std::function<void()> OnChange;

private:
    void Changed()
    {
        if (OnChange)
            OnChange();
    }
    QImage m_image;
};
