// Registers the built-in pictures. The resource file is compiled into this static
// library, whose registration object the linker would otherwise leave out.
#include <QtGlobal>

#include "pictures.h"

static void initFenwaterResources() {
    Q_INIT_RESOURCE(fenwater);
}

namespace fw {

void registerBuiltInPictures() {
    static const bool done = (initFenwaterResources(), true);
    (void)done;
}

}  // namespace fw
