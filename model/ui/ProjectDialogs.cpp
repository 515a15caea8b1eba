#include "model/ui/ProjectDialogs.h"

#include "app/ui/SmallDialogs.h"
#include "model/ui/ProjectPages.h"

void RegisterProjectDialogs() {
  RegisterSmallDialogs();
  RegisterNewProjectDialog();
  RegisterProjectSheet();
}
