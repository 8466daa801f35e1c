// What the model (Toolkit.cpp) asks of the on-screen backend (QtBackend.cpp). Qt-free; not
// for the toolkit's users.
#pragma once

#include <memory>
#include <vector>

#include "Toolkit.h"

namespace tk::detail {

class Backend {
  public:
    // Every window alive, in creation order.
    static std::vector<Window*>& Windows();
    // Creates the window's on-screen peer (once an application object exists) and shows it.
    static void ShowWindow(Window& window);
    // A shown window was closed: asks the delegate whether to quit when none is left.
    static void WindowClosed(Window& window);
    // The on-screen peers, for the backend's own accessors (null before a peer exists).
    static Peer* PeerOf(const View& view) { return view.peer_.get(); }
    static Peer* PeerOf(const Window& window) { return window.peer_.get(); }
    static Peer* PeerOf(const MenuItem& item) { return item.peer_.get(); }
    static void AttachPeer(View& view, std::unique_ptr<Peer> peer);
    // The view's widget exists: the view may put a widget of its own into it.
    static void OnScreen(View& view) { view.OnScreen(); }
    static void AttachPeer(Menu& menu, std::unique_ptr<Peer> peer);
    static void AttachPeer(MenuItem& item, std::unique_ptr<Peer> peer);
    // The user scrolled, moved or resized: the model follows without telling the screen back.
    static void SetScrollFromScreen(ScrollView& view, double y);
    static void WindowFrameFromScreen(Window& window, const Rect& frame);
    // The zoom changed: every widget takes its geometry again and is redrawn.
    static void ZoomChanged();
};

}  // namespace tk::detail
