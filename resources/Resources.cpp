// Registration of the resource bundle that rcc compiled from the generated
// orbivista_resources.qrc (resources/CMakeLists.txt).
#include "resources/Resources.h"

#include <QtCore/QtGlobal>

void orbivistaInitResources() {
    Q_INIT_RESOURCE(orbivista_resources);
}
