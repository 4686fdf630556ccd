#pragma once
#include <QString>
#include <vector>

class QWidget;

// What a screen reader hears and what the keyboard reaches, made once for every page: the kit's
// own widgets get interfaces of the right role, controls without a text of their own are named
// after the label a sighted user reads beside them, and the focus chain follows the layout.
namespace ov {

// Registers the accessible interfaces of the kit's widgets (a bar button is a page tab or a
// push button, pressable by assistive technology; a drawn bar is a progress bar with its
// caption and position). The widgets call it themselves; safe to call more than once.
void InstallAccessibleInterfaces();

// Names the shown controls under `root` that have no name yet: an input, list or bar takes the
// nearest unclaimed label on its left (same row) or above it as its buddy, so the label's text
// names it and the label's "&" mnemonic focuses it; an icon-only button takes its tooltip; a
// scroll bar takes its scroll area's name. Controls already named are left alone, so it may run
// on every show.
void NameControlsFromLabels(QWidget* root);

// Chains the focusable widgets shown under `root` in reading order: rows top to bottom (a widget
// whose top is above the middle of the row's first widget belongs to that row), left to right
// within a row.
void OrderFocusByLayout(QWidget* root);

// The controls shown under `root` that assistive technology reads without a name, each as
// "<object path> (<role>)". Empty when every shown control is named.
std::vector<QString> UnnamedControls(QWidget* root);

// The name assistive technology reads for `widget` (empty without an interface).
QString AccessibleNameOf(QWidget* widget);

// `text` as shown: a single "&" marks the mnemonic and goes, "&&" is one "&".
QString WithoutMnemonic(const QString& text);

}  // namespace ov
