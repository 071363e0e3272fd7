#include "maps/gdal_setup.h"

#include <cpl_http.h>
#include <cpl_vsi.h>
#include <gdal_priv.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "support/loopback_server.h"

namespace vexa {
namespace {

// Whatever names a web address, GDAL makes no connection: a server on this computer sees none.
TEST(GdalSetup, NoRequestOfGdalsReachesAServer) {
    PrepareGdal();
    test::LoopbackServer server;
    const std::string url = "http://127.0.0.1:" + std::to_string(server.port()) + "/streets.geojson";

    CPLHTTPResult* fetched = CPLHTTPFetch(url.c_str(), nullptr);
    ASSERT_NE(fetched, nullptr);
    EXPECT_NE(fetched->nStatus, 0);
    CPLHTTPDestroyResult(fetched);
    for (const std::string& path : {"/vsicurl/" + url, url}) {
        VSIStatBufL status;
        EXPECT_NE(VSIStatL(path.c_str(), &status), 0) << path;
        GDALDatasetH dataset = GDALOpenEx(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr);
        EXPECT_EQ(dataset, nullptr) << path;
        if (dataset) GDALClose(dataset);
    }
    EXPECT_FALSE(server.accept(std::chrono::milliseconds(0))) << "a connection reached the server";
}

}  // namespace
}  // namespace vexa
