#pragma once

namespace vexa {

// Registers GDAL's drivers, once per program, with its network access switched off: map layers are
// local files, and nothing a map file names may make the program fetch from anywhere. Every web
// request GDAL would make is answered with a refusal, its /vsicurl/ family of file systems (and
// those built on it: /vsis3/, /vsigs/, /vsiaz/, ...) opens nothing, and PROJ downloads no grids.
void PrepareGdal();

}  // namespace vexa
