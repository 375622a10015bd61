// The embedded resource bundle (images, texts, menu, accelerators, icon,
// fonts) at ":/<KIND>/<NAME>", e.g. ":/BITMAP/IDB_BMP_EARTH".  Linking
// orbivista_resources registers it before main(); this call registers it
// explicitly, for programs that want to be sure, and may be made any number
// of times.
#pragma once

void orbivistaInitResources();
