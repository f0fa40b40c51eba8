#include "qtcommon/ResourceNames.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must stand outside any namespace; calling it from the
// library also keeps the linker from dropping the compiled resources.
static void InitZorbikResources()
{
    Q_INIT_RESOURCE(zorbik);
}

namespace zorbik {

void InitResources()
{
    InitZorbikResources();
}

} // namespace zorbik
