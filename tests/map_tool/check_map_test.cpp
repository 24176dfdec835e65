#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "map_tool/check_report.h"
#include "map_tool/json_writer.h"
#include "map_tool/map_source.h"
#include "tests/scene/map_file_fixture.h"

namespace {

// A 2x2 image the viewer loads, and one whose pixels end early.
const std::string kImage = "P6 2 2 255\n" + std::string(12, '\x7f');
const std::string kCutImage = "P6 2 2 255\n" + std::string(5, '\x7f');

class CheckMap : public MapFileTest {
  protected:
    MapCheck Check(const std::string& argument = ".") {
        const MapFolder folder(argument);
        return ::CheckMap(folder.FileName(), folder.Read());
    }
};

TEST_F(CheckMap, AnAcceptedMapGivesItsCountsItsRunsAndTheFilesTheLookupFinds) {
    Write("a.ppm", kImage);
    Write("b.ppm", kImage);
    Write("map.txt",
          "0 0 0.5\n5\n0 1 2 0\n0 2 3 0\n0 3 1 1\n1 3 2 0\n1 2 0 2\n4\n-1 -1 0 0 1\n-1 1 1 0 0\n"
          "1 1 0 1 0\n1 -1 1 1 1\n3\n%A.PPM%\n%b.ppm%\n%%\n");
    const MapCheck check = Check();
    ASSERT_EQ(ExitCode(check), 0) << HumanReport(check);
    EXPECT_EQ(check.geometry.drawCalls, 4);
    EXPECT_EQ(check.geometry.texturesUsed, 3);
    EXPECT_EQ(check.emptySlots, 1);
    const std::string report = HumanReport(check);
    EXPECT_NE(report.find("map.txt: 5 triangles, 4 vertices, 3 textures\n"), std::string::npos) << report;
    EXPECT_NE(report.find("draw calls a frame: 4 (3 with the triangles grouped by texture)"),
              std::string::npos);
    EXPECT_NE(report.find("texture 0 \"A.PPM\": a.ppm, 2x2\n"), std::string::npos) << report;
    EXPECT_NE(report.find("z 0 to 1; the start 0 0 0.5 lies inside"), std::string::npos) << report;
    EXPECT_NE(report.find("\n1 slot without an image (%%), drawn white\n"), std::string::npos) << report;
}

TEST_F(CheckMap, WhatShowsNothingOrCannotLoadIsWarnedAboutEachOnItsOwnLine) {
    Write("cut.ppm", kCutImage);
    Write("SKY.ppm", kImage);
    Write("Sky.PPM", kImage);
    // Triangle 1 names vertex 0 twice, triangle 2 has its corners on one line; vertex 5 and slot 3
    // are used by nothing; the start sees none of the scene.
    Write("map.txt",
          "0 0 -105\n3\n0 1 2 0\n0 0 2 1\n0 3 4 2\n6\n0 0 0 0 0\n0 1 0 0 0\n1 0 0 0 0\n2 0 0 0 0\n"
          "3 0 0 0 0\n9 9 9 0 0\n4\n%gone.ppm%\n%sky.ppm%\n%cut.ppm%\n%gone.ppm%\n");
    const MapCheck check = Check();
    EXPECT_EQ(ExitCode(check), 1);
    const std::string report = HumanReport(check);
    for (const char* warning : {
             "\nwarning: map.txt:14: cannot load texture \"gone.ppm\": not found (2 slots name it)\n",
             "\nwarning: map.txt:15: cannot load texture \"sky.ppm\": not found; several files differ from "
             "the name only in letter case: SKY.ppm, Sky.PPM\n",
             "\nwarning: map.txt:16: cannot load texture \"cut.ppm\": pixel data cut short: the file holds "
             "16 "
             "of the 23 bytes its header declares\n",
             "\nwarning: 1 vertex is used by no triangle: 5\n",
             "\nwarning: 1 texture is used by no triangle: 3 \"gone.ppm\"\n",
             "\nwarning: 1 triangle names one vertex twice, drawn as nothing: 1\n",
             "\nwarning: 1 triangle has all corners on one line, drawn as nothing: 2\n",
             "\nwarning: the start position 0 0 -105 is more than 100 units from all of the scene: the "
             "viewer "
             "draws none of it from there\n",
         }) {
        EXPECT_NE(report.find(warning), std::string::npos) << warning << "\nin:\n" << report;
    }
}

TEST_F(CheckMap, DrawCallsAboveThreeThousandAndScenesBeyondTheViewDistanceAreWarnedAbout) {
    std::string map = "0 0 0\n3002\n";
    for (int t = 0; t < 3002; ++t) map += "0 1 2 " + std::to_string(t % 2) + "\n";
    Write("map.txt", map + "3\n-1 0 -1 0 0\n0 300 0 0 0\n1 0 1 0 0\n2\n%%\n%%\n");
    const std::string report = HumanReport(Check());
    EXPECT_NE(report.find("warning: 3002 draw calls a frame, above the 3,000 or so where Direct3D 9 drivers "
                          "commonly become the limit; grouping the triangles by texture would leave 2\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("warning: the scene's bounds are 300 units corner to corner"), std::string::npos);

    Write("map.txt", "0 0 0\n1\n0 1 2 0\n3\n0 0 0 0 0\n0 0.05 0 0 0\n0.05 0 0 0 0\n1\n%%\n");
    EXPECT_NE(
        HumanReport(Check()).find("warning: the scene's bounds are 0.07071 units corner to corner: all of"),
        std::string::npos);
}

TEST_F(CheckMap, AMapTheViewerRefusesGivesTheViewersLineAloneAndExitCode2) {
    const std::string text = "0 0 0\n1\n0 1 3 0\n3\n0 0 0 0 0\n0 1 0 0 0\n1 0 0 0 0\n1\n%%\n";
    Write("map.txt", text);
    MapCheck check = Check();
    EXPECT_EQ(ExitCode(check), 2);
    EXPECT_EQ(HumanReport(check), "map.txt:3: vertex index 3 is outside 0 to 2 (the map has 3 vertices)\n");
    EXPECT_EQ(check.refusal, ReadMap("map.txt", text).refusal);
    // The folder and its map are found in other letter case, as the viewer finds them.
    std::filesystem::create_directory("Inner");
    Write("Inner/MAP.TXT", text);
    EXPECT_EQ(HumanReport(Check("inner")), HumanReport(check));
    EXPECT_EQ(HumanReport(Check("INNER/map.txt")), HumanReport(check));

    Write("map.txt", "0 0 0\n0\n0\n0\n");
    EXPECT_EQ(HumanReport(Check()),
              "map.txt: the map has no triangles (Direct3D 9 cannot make an empty index buffer)\n");
    check = Check("no/such/folder/map.txt");
    EXPECT_EQ(ExitCode(check), 2);
    EXPECT_EQ(HumanReport(check), "no/such/folder/map.txt: cannot open the map file: not found\n");
}

// A DDS's layout is named, since it decides the texture's memory on the device.
TEST_F(CheckMap, ADdsTexturesFormatIsReportedInItsLineAndInJson) {
    std::string dds = "DDS " + std::string(124, '\0') + std::string(8, '\0');
    dds[4] = 124;
    dds[8] = 7;
    dds[12] = dds[16] = 4;  // 4x4
    dds[76] = 32;
    dds[80] = 4;
    dds.replace(84, 4, "DXT1");
    Write("a.dds", dds);
    Write("map.txt", "0 0 0\n1\n0 1 2 0\n3\n0 0 0 0 0\n0 1 0 0 0\n1 0 0 0 0\n1\n%a.dds%\n");
    const MapCheck check = Check();
    EXPECT_NE(HumanReport(check).find("texture 0 \"a.dds\": a.dds, 4x4, DXT1\n"), std::string::npos)
        << HumanReport(check);
    EXPECT_NE(JsonReport(check).find("\"width\":4,\"height\":4,\"format\":\"DXT1\",\"problems\":[]"),
              std::string::npos)
        << JsonReport(check);
}

TEST_F(CheckMap, TheJsonReportSaysTheSameAsOneObjectWithItsNamesEscaped) {
    Write("map.txt",
          "0 0 0\n1\n0 1 2 0\n3\n0 0 0 0 0\n0 1 0 0 0\n1 0 0 0 0\n1\n%say \"hi\"\\\x01\xff.ppm%\n");
    const std::string json = JsonReport(Check());
    EXPECT_EQ(json.rfind("{\"map\":\"map.txt\",\"exit_code\":1,\"refusal\":null,\"triangles\":1,", 0), 0u)
        << json;
    EXPECT_NE(json.find("\"texture_files\":[{\"name\":\"say \\\"hi\\\"\\\\\\u0001\\u00FF.ppm\",\"line\":9,"),
              std::string::npos)
        << json;
    EXPECT_NE(
        json.find("\"draw_calls\":1,\"draw_calls_grouped\":1,\"bounds\":{\"low\":[0,0,0],\"high\":[1,1,0]}"),
        std::string::npos);
    EXPECT_EQ(json.substr(json.size() - 3), "]}\n");
    EXPECT_EQ(JsonString("\xc3\xa9\t\xe0\x80\x80"),
              "\"\xc3\xa9\\t\\u00E0\\u0080\\u0080\"");  // é kept, overlong not
}

}  // namespace
