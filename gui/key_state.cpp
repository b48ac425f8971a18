#include "gui/key_state.h"

#include <QGuiApplication>

#if defined(TAVO_HAVE_X11)
#include <X11/XKBlib.h>

#include <QtGui/qguiapplication_platform.h>
#endif

namespace tavo::gui {

KeyboardState ReadKeyboardState() {
  KeyboardState state;
#if defined(TAVO_HAVE_X11) && QT_CONFIG(xcb)
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return state;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  Display* display = x11 ? x11->display() : nullptr;
  if (!display) return state;
  auto read = [display](const char* name) -> std::optional<bool> {
    const Atom atom = XInternAtom(display, name, True);
    if (atom == None) return std::nullopt;
    Bool on = False;
    Bool real = False;
    if (!XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, &real) || !real) return std::nullopt;
    return on != False;
  };
  state.caps = read("Caps Lock");
  state.num = read("Num Lock");
  state.scroll = read("Scroll Lock");
  state.kana = read("Kana");
#endif
  return state;
}

}  // namespace tavo::gui
