// SPDX-License-Identifier: MIT
#include "ImageList.h"

#include "Canvas.h"

TImageList::TImageList(QObject* parent)
    : QObject(parent)
{
}

void TImageList::SetWidth(int width)
{
    if (width == m_width || width <= 0)
        return;
    m_width = width;
    Clear();
}

void TImageList::SetHeight(int height)
{
    if (height == m_height || height <= 0)
        return;
    m_height = height;
    Clear();
}

int TImageList::Add(const QImage& image)
{
    QImage sized = image.size() == QSize(m_width, m_height)
        ? image
        : image.scaled(m_width, m_height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    m_images.push_back(sized.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    emit Change();
    return int(m_images.size()) - 1;
}

void TImageList::Clear()
{
    if (m_images.isEmpty())
        return;
    m_images.clear();
    emit Change();
}

QImage TImageList::Image(int index) const
{
    return index >= 0 && index < m_images.size() ? m_images[index] : QImage();
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index) const
{
    if (index >= 0 && index < m_images.size())
        canvas.Draw(x, y, m_images[index]);
}
