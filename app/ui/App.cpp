// placeholder until the application class lands
#include <wx/app.h>
