#include "app/FrameRouting.h"

#include "framework/CommandIds.h"
#include "app/TavProjectDoc.h"

bool CFrameRouter::IsListViewCommand(UINT id) {
  switch (id) {
    case ID_VIEW_LARGEICON:
    case ID_VIEW_SMALLICON:
    case ID_VIEW_LIST:
    case ID_VIEW_DETAILS:
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_PREVIEW:
    case ID_EDIT_SELECT_ALL:
    case ID_EDIT_INVERT_SELECTION:
      return true;
    default:
      return false;
  }
}

CommandRoute CFrameRouter::RouteFrom(IProjectView* source) const {
  IProjectView* view = source ? source : m_active;
  CommandRoute route;
  if (view)
    route.Add([view](UINT id, int code, CCmdUI* ui, CmdHandlerInfo* probe) { return view->OnCmdMsg(id, code, ui, probe); });
  route.Add(m_doc);
  if (m_frame) route.Add(*m_frame);
  if (m_app) route.Add(*m_app);
  CTavProjectDoc* doc = &m_doc;
  route.Add([doc, view](UINT id, int code, CCmdUI* ui, CmdHandlerInfo* probe) {
    if (!IsListViewCommand(id)) return FALSE;
    return doc->RouteCmdToViews(view, id, code, ui, probe);
  });
  return route;
}
