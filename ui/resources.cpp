// Registers the built-in pictures. The resource file is compiled into this static
// library, whose registration object the linker would otherwise leave out.
#include <QtGlobal>

#include "pictures.h"

#ifndef FENWATER_NO_BUILTIN_PICTURES
static void initFenwaterResources() {
    Q_INIT_RESOURCE(fenwater);
}
#endif

namespace fw {

void registerBuiltInPictures() {
#ifndef FENWATER_NO_BUILTIN_PICTURES
    static const bool done = (initFenwaterResources(), true);
    (void)done;
#endif
}

}  // namespace fw
