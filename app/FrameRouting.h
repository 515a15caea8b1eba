#pragma once
// The main window's command route: the request goes to the pane it comes from (the
// active pane, or the pane that showed a popup menu), which offers it to its objects
// and its own map; then to the document, the frame and the application. The eight
// list commands (view styles, print, preview, select all, invert) that nobody on that
// route handles go on to the other panes, so they work while the tree has the focus.
#include "app/CommandRouting.h"

class CTavProjectDoc;
class IProjectView;

class CFrameRouter {
 public:
  explicit CFrameRouter(CTavProjectDoc& doc) : m_doc(doc) {}

  void SetFrameTarget(CCmdTarget* target) { m_frame = target; }
  void SetAppTarget(CCmdTarget* target) { m_app = target; }
  // The pane that last had the focus or a click.
  void SetActiveView(IProjectView* view) { m_active = view; }
  IProjectView* GetActiveView() const { return m_active; }

  // The route of a request from `source`; nullptr: from the active pane.
  CommandRoute RouteFrom(IProjectView* source = nullptr) const;

  // The commands handed to the other panes when the route did not handle them.
  static bool IsListViewCommand(UINT id);

 private:
  CTavProjectDoc& m_doc;
  IProjectView* m_active = nullptr;
  CCmdTarget* m_frame = nullptr;
  CCmdTarget* m_app = nullptr;
};
