// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>

// One styled panel per style preset, with some markup text, side by side: the picture of
// docs/panel-styles.png.
QImage RenderPanelStyleGallery();
// One caption bar per shade type (rectangular, rounded and semi-rounded in turn): the picture of
// docs/panel-shades.png.
QImage RenderCaptionShadeGallery();
// A panel group in two columns with one panel collapsed: the picture of docs/panel-group.png.
QImage RenderPanelGroupPicture();
