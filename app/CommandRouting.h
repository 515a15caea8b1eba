#pragma once
// How commands and update requests reach the project objects. The views call these:
// the tree offers a request to its selected object, or with nothing selected to a
// stand-in top-level folder; the list offers it to each selected object in turn, or
// with nothing selected to the object whose children it shows. The frame chains the
// steps (active view, document, frame) in a CommandRoute, which also decides:
//  - an update request nobody answers enables the command exactly when some target on
//    the route has a handler for it (asked without running anything);
//  - a command is run only when its update request leaves it enabled.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "framework/CmdTarget.h"
#include "model/LiveObjects.h"

class CTavProjectDoc;

// One object as the whole selection (first, last, not one of several). FALSE when the
// object is gone.
BOOL RouteToObject(const ObjectRef& object, UINT id, int code, CCmdUI* ui, CmdHandlerInfo* probe);

// The selected objects in row order, each told whether it is the first, the last and
// one of several. The offer goes on while each call handles the request; it stops when
// a handler clears "several" of its (still living) object. Objects gone by their turn
// are skipped. Handled when the last call made handled it. For update requests with
// several objects the command is enabled only when every object asked enables it.
BOOL RouteToSelection(std::span<const ObjectRef> selection, UINT id, int code, CCmdUI* ui, CmdHandlerInfo* probe);

// A stand-in top-level project folder for one request: objects its commands add go to
// the document's roots; it is released after the request. FALSE when the factory has
// no project folder class.
BOOL RouteToRootProxy(CTavProjectDoc& doc, UINT id, int code, CCmdUI* ui, CmdHandlerInfo* probe);

// The tree's object step: the selected item's object (nullopt: no item selected).
BOOL RouteTreeRequest(const std::optional<ObjectRef>& selected, CTavProjectDoc& doc, UINT id, int code, CCmdUI* ui,
                      CmdHandlerInfo* probe);
// The list's object step: the selected rows' objects, or the listed object.
BOOL RouteListRequest(std::span<const ObjectRef> selection, const ObjectRef& listed, UINT id, int code, CCmdUI* ui,
                      CmdHandlerInfo* probe);

using CmdRouteStep = std::function<BOOL(UINT id, int code, CCmdUI* ui, CmdHandlerInfo* probe)>;

// A chain of targets; the first that handles a request ends it.
class CommandRoute {
 public:
  CommandRoute& Add(CmdRouteStep step);
  // The target must outlive the route.
  CommandRoute& Add(CCmdTarget& target);

  BOOL Route(UINT id, int code, CCmdUI* ui, CmdHandlerInfo* probe) const;
  // Whether some target has a command handler for the id; runs nothing.
  BOOL HasHandler(UINT id) const;
  // Runs the update request for one command.
  void Update(CCmdUI& ui) const;
  BOOL IsEnabled(UINT id) const;
  // Runs the command when its update request leaves it enabled; FALSE when it is
  // disabled or nobody handled it.
  BOOL Execute(UINT id) const;
  // How many commands any route has run: answers kept between refreshes are asked
  // anew after a command.
  static std::uint64_t ExecutedCount();

 private:
  std::vector<CmdRouteStep> m_steps;
};
