#pragma once
// The one document: it stands for the project list, owns the root objects (the
// top-level project folders) and tells its views what changed through update hints.
// It serialises nothing; every change is written by the operation that makes it.
#include <cstdint>
#include <memory>
#include <vector>

#include "framework/CmdTarget.h"
#include "framework/UpdateHints.h"
#include "model/ProjectDocument.h"
#include "platform/Types.h"

class CProjectObject;

// The document's side of a view (the tree, the list; a recording view in tests).
class IProjectView {
 public:
  virtual ~IProjectView() = default;
  // An update hint from another view or from an object operation (sender nullptr).
  virtual void OnUpdate(IProjectView* sender, int hint, CProjectObject* object) = 0;
  // The view's own command routing, for requests that another pane did not handle.
  virtual BOOL OnCmdMsg(UINT id, int code, CCmdUI* ui, CmdHandlerInfo* probe) { return FALSE; }
};

enum : UINT {
  ID_VIEW_REFRESH = 32788,   // "&Aktualisieren" (F5)
};

class CTavProjectDoc : public CCmdTarget, public hv::IProjectDocument {
 public:
  // The new document becomes the active one that object operations report to.
  CTavProjectDoc();
  ~CTavProjectDoc() override;
  CTavProjectDoc(const CTavProjectDoc&) = delete;
  CTavProjectDoc& operator=(const CTavProjectDoc&) = delete;

  // --- views ---
  void AddView(IProjectView* view);
  void RemoveView(IProjectView* view);
  const std::vector<IProjectView*>& GetViews() const { return m_views; }
  // Calls every view but the sender. Removals that views make while handling the hint
  // are freed after the outermost handler returns.
  void UpdateAllViews(IProjectView* sender, int hint, CProjectObject* object = nullptr);
  void BroadcastHint(int hint, CProjectObject* object) override { UpdateAllViews(nullptr, hint, object); }
  // Offers a request to every view but the sender; TRUE at the first that handles it.
  BOOL RouteCmdToViews(IProjectView* sender, UINT id, int code, CCmdUI* ui, CmdHandlerInfo* probe);

  // --- roots ---
  std::size_t GetRootCount() const { return m_roots.size(); }
  CProjectObject* GetRoot(std::size_t i) const { return i < m_roots.size() ? m_roots[i].get() : nullptr; }
  std::vector<CProjectObject*> GetRoots() const override;
  bool IsRoot(const CProjectObject* object) const override;
  // Appends a root (a top-level project folder; also what a command on an empty
  // selection adds to the top level). Returns it.
  CProjectObject* AddRoot(std::unique_ptr<CProjectObject> object) override;
  // Removes a root: hint 3, then released. FALSE (nothing changes) for a non-root.
  BOOL RemoveObject(CProjectObject* object) override;

  // --- project list ---
  void SetProjectListSource(std::unique_ptr<IProjectListSource> source);
  // Opens the list and loads the roots; FALSE ends the start of the program.
  BOOL OnNewDocument();
  BOOL LoadProjectList();
  // Last-write time of the list file at the last good load (0 until then).
  std::int64_t GetListTime() const { return m_listTime; }
  void SetListTime(std::int64_t time) override { m_listTime = time; }

  HV_DECLARE_COMMAND_MAP()

 protected:
  // F5: reload the list, then rebuild the tree.
  void OnRefresh();

 private:
  std::int64_t m_listTime = 0;
  std::vector<std::unique_ptr<CProjectObject>> m_roots;
  std::vector<IProjectView*> m_views;
  std::unique_ptr<IProjectListSource> m_source;
  bool m_opened = false;
};
