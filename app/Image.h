// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>

// A picture of the window definitions, sized to its picture. The picture is a PNG named by its
// 1x file (":/forms/logo.png"); on a screen of a higher pixel ratio the 2x file beside it
// ("logo@2x.png") is shown instead, so the picture stays crisp.
class TImage : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QString Picture READ Picture WRITE setPicture NOTIFY pictureChanged)

public:
    using QLabel::QLabel;

    QString Picture() const { return m_picture; }
    void setPicture(const QString& fileName);

    // The file of `fileName`'s picture that suits `devicePixelRatio`.
    static QString FileFor(const QString& fileName, qreal devicePixelRatio);

signals:
    void pictureChanged(const QString& fileName);

protected:
    bool event(QEvent* event) override;

private:
    void LoadPicture();

    QString m_picture;
    qreal m_loadedRatio = 0; // the pixel ratio the shown file was chosen for
};
