#include "forms/qt/form_font.h"

#include <QFontDatabase>
#include <QStringList>
#include <cstdio>

namespace {

// At 11 pixels Tahoma's widths are within a few pixels of "MS Sans Serif"'s per
// text. Unlike the only "MS Sans Serif" a Linux system offers (fonts-wine's
// bitmap strikes, which Qt can neither embolden nor scale), it is an outline
// face: bold and scaled with the screen. Its bold is synthesized, as the
// form's toolkit does for "MS Sans Serif": fonts-wine's own bold face draws
// strokes too thin at 11 pixels to tell a bold caption from a plain one.
const QString kMetricFace = QStringLiteral("Tahoma");
// Without it, the narrowest faces a system commonly has keep most texts in
// their places; a text that overflows still reaches screen readers whole.
const QStringList kFallbackFaces = {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                    QStringLiteral("DejaVu Sans Condensed")};
constexpr int kFormFontPixels = 11;

bool MakeMetricFaceAvailable() {
  if (QFontDatabase::hasFamily(kMetricFace)) return true;
  QFontDatabase::addApplicationFont(QString::fromLatin1(kMetricFaceFile));
  if (QFontDatabase::hasFamily(kMetricFace)) return true;
  std::fprintf(stderr,
               "tolvane-diag: no %s face (install fonts-wine); some texts may not fit their places\n",
               qPrintable(kMetricFace));
  return false;
}

}  // namespace

QFont FormFont() {
  static const bool metricFace = MakeMetricFaceAvailable();
  QFont font;
  font.setFamilies(metricFace ? QStringList{kMetricFace} : kFallbackFaces);
  font.setPixelSize(kFormFontPixels);
  return font;
}

QFont QtFont(const forms::Font& font) {
  if (font.face == "MS Sans Serif") return FormFont();
  // Where Arial is missing, a face no wider keeps a title inside its frame:
  // the forms' own Tahoma, which the window brings along, before any face the
  // system may lack.
  QFont shown;
  shown.setFamilies({QString::fromStdString(font.face), QStringLiteral("Liberation Sans"), kMetricFace,
                     QStringLiteral("DejaVu Sans Condensed")});
  shown.setPixelSize(-font.height);
  return shown;
}
