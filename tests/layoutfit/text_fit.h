#pragma once
#include <QSize>
#include <functional>
#include <QString>
#include <vector>

class QWidget;

// Texts a widget shows but cannot fit: a label, button, check box, radio button, group-box title
// or tab whose text needs more room than its rectangle gives (or than the frame around it
// leaves visible). Read offscreen from size hints and the style's own content rectangles.
namespace ov::test {

struct CutText {
  QString path;  // object names (or class names) from the root down
  QString text;
  QSize needed;
  QSize available;
  QString why;  // "width", "height", "clipped by <ancestor>"

  QString Describe() const;
};

// Every shown widget under `root` (its own window only) whose text is cut. Widgets under
// `scrollBoundary` are not counted as clipped by it or above it: a scroll area reveals them.
std::vector<CutText> CutTexts(QWidget* root, const QWidget* scrollBoundary = nullptr);

// Calls `visit` for what `root` shows now, then again after switching to each other tab of its
// shown tab widgets and after pressing each shown, enabled, checkable push button (the editors'
// tab rows). Ordinary push buttons are never pressed.
void VisitEverySubPage(QWidget* root, const std::function<void()>& visit);

}  // namespace ov::test
