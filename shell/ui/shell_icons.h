#pragma once
#include <QIcon>

// The shell's artwork, drawn for this program and built into the library: the tray state icons,
// the program icon, and the faces of the main window's bar buttons by their bitmap numbers.
namespace ov {

enum class TrayState { Good, Normal, Weak, Lost, NotExist };

// Icon resource numbers of the tray states: 131, 159, 160, 132, 161.
int TrayIconResource(TrayState state);
QIcon TrayStateIcon(TrayState state);
// Resource path of a tray state's icon (":/icons/tray_good.svg" ...).
QString TrayStateIconPath(TrayState state);

QIcon AppIcon();

// A bar button's face by its bitmap number (SVG drawn for the program, one style, 32x32); a
// null icon for numbers the shell does not draw.
QIcon BitmapIcon(int bitmapId);
// Its resource path (":/icons/bar/wps.svg" ...); empty for such numbers.
QString BitmapIconPath(int bitmapId);

}  // namespace ov
