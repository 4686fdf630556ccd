#pragma once
#include <QIcon>

// The shell's artwork: the tray state icons and the program icon (drawn for this program, built
// into the library), and the faces of the main window's bar buttons by their bitmap numbers.
namespace ov {

enum class TrayState { Good, Normal, Weak, Lost, NotExist };

// Icon resource numbers of the tray states: 131, 159, 160, 132, 161.
int TrayIconResource(TrayState state);
QIcon TrayStateIcon(TrayState state);
// Resource path of a tray state's icon (":/icons/tray_good.svg" ...).
QString TrayStateIconPath(TrayState state);

QIcon AppIcon();

// A bar button's face by its bitmap number; a null icon for numbers the shell does not draw.
QIcon BitmapIcon(int bitmapId);

}  // namespace ov
