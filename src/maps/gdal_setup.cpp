#include "maps/gdal_setup.h"

#include <cpl_conv.h>
#include <cpl_http.h>
#include <gdal_priv.h>
#include <ogr_srs_api.h>

#include <mutex>

namespace vexa {

namespace {

CPLHTTPResult* RefuseWebRequest(const char*, CSLConstList, GDALProgressFunc, void*, CPLHTTPFetchWriteFunc, void*, void*) {
    // A null result would hand the request on to GDAL's own fetcher; an error result ends it here.
    auto* result = static_cast<CPLHTTPResult*>(CPLCalloc(1, sizeof(CPLHTTPResult)));
    result->nStatus = 1;
    result->pszErrBuf = CPLStrdup("network access is switched off");
    return result;
}

}  // namespace

void PrepareGdal() {
    static std::once_flag once;
    std::call_once(once, [] {
        CPLHTTPSetFetchCallback(RefuseWebRequest, nullptr);
        // The one name the /vsicurl/ family may open; no file name is empty, so it opens none.
        CPLSetConfigOption("CPL_VSIL_CURL_ALLOWED_FILENAME", "");
        OSRSetPROJEnableNetwork(FALSE);
        GDALAllRegister();
    });
}

}  // namespace vexa
