// The forms name "MS Sans Serif" at height -11 (characters 11 pixels high) and
// place every text for that face's widths. The windows use a face with its
// metrics, so that each text fits the place the form gives it.
#pragma once

#include <QFont>

#include "forms/form_window.h"

// The metric-compatible face as Debian's fonts-wine installs it.
inline constexpr const char* kMetricFaceFile = "/usr/share/wine/fonts/tahoma.ttf";

// The forms' font. The first call makes the metric-compatible face available,
// from the system's fonts or, when it has none, from Debian's fonts-wine.
QFont FormFont();

// A font of a form description: "MS Sans Serif" is the forms' font, another
// face is asked for with the faces that keep its widths where it is missing.
QFont QtFont(const forms::Font& font);
