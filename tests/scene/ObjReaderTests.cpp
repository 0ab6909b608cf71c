#include "LogCapture.h"
#include "Scene.h"
#include "SceneTestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

using namespace KorvanaFramework;
using namespace SceneTests;

namespace
{
const char* const Triangle123 = "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";

class ObjReader : public ::testing::Test
{
protected:
    bool Load(const std::string& text)
    {
        path = folder.Write("scene.obj", text);
        return scene.Load(path);
    }

    // The file must fail with exactly one message naming the line.
    void ExpectRejected(const std::string& text, unsigned line, const std::string& message)
    {
        SCOPED_TRACE(text);
        const std::size_t before = log.Messages().size();
        EXPECT_FALSE(Load(text));
        EXPECT_EQ(scene.ObjectCount(), 0u);
        EXPECT_EQ(scene.Materials().MaterialCount(), 1u);
        ASSERT_EQ(log.Messages().size(), before + 1);
        EXPECT_EQ(log.Messages().back(), ReaderError(path, line, message));
    }

    const SceneObject& Only()
    {
        EXPECT_EQ(scene.ObjectCount(), 1u);
        return scene.ObjectAt(0);
    }

    TempFolder folder;
    LogCapture log;
    Scene scene;
    std::string path;
};

TEST_F(ObjReader, VertexLinesTakeTwoToFourNumbers)
{
    ASSERT_TRUE(Load("v 1 2\nv 1 2 3\nv 1 2 3 4 5\nf 1 2 3\n"));
    const SceneObject& object = Only();
    ASSERT_EQ(object.positions.size(), 3u);
    EXPECT_EQ(object.positions[0], (Vec4{1, 2, 0, 1}));
    EXPECT_EQ(object.positions[1], (Vec4{1, 2, 3, 1}));
    EXPECT_EQ(object.positions[2], (Vec4{1, 2, 3, 4}));
}

TEST_F(ObjReader, NormalAndTexCoordLines)
{
    ASSERT_TRUE(Load("v 0 0 0\nvn 3 4\nvt 0.25 0.5 0.75\nf 1/1/1 1/1/1 1/1/1\n"));
    const SceneObject& object = Only();
    ASSERT_EQ(object.normals.size(), 1u);
    EXPECT_EQ(object.normals[0], (Vec3{3, 4, 0})) << "normals are not normalised";
    ASSERT_EQ(object.texCoords.size(), 1u);
    EXPECT_EQ(object.texCoords[0], (Vec2{0.25f, 0.5f}));
}

// Switches LC_NUMERIC to Polish, whose decimal separator is a comma,
// compiling the locale into `folder` when the system has none installed.
bool UsePolishNumbers(const std::string& folder)
{
    if (std::setlocale(LC_NUMERIC, "pl_PL.UTF-8"))
        return true;
    const std::string compile = "localedef -i pl_PL -f UTF-8 " + folder + "/pl_PL.UTF-8 >/dev/null 2>&1";
    if (std::system(compile.c_str()) != 0)
        return false;
    setenv("LOCPATH", folder.c_str(), 1);
    return std::setlocale(LC_NUMERIC, "pl_PL.UTF-8") != nullptr;
}

TEST_F(ObjReader, NumbersAreDecimalInAnyLocale)
{
    if (!UsePolishNumbers(folder.Path()))
        GTEST_SKIP() << "no Polish locale and no localedef";
    EXPECT_EQ(std::strtod("1.5", nullptr), 1.0) << "the locale reads a decimal comma";
    const bool loaded = Load("v +1.5 -2.5e-1 .5 3.\nv 1e2 7x 9\nv 1 2 3abc\nf 1 2 3\n");
    std::setlocale(LC_NUMERIC, "C");
    ASSERT_TRUE(loaded);
    const SceneObject& object = Only();
    EXPECT_EQ(object.positions[0], (Vec4{1.5f, -0.25f, 0.5f, 3.0f}));
    EXPECT_EQ(object.positions[1], (Vec4{100, 7, 0, 1})) << "the scan stops at the first non-number";
    EXPECT_EQ(object.positions[2], (Vec4{1, 2, 3, 1}));
}

TEST_F(ObjReader, RejectedStatementsNameTheirLine)
{
    struct Case
    {
        std::string text;
        unsigned line;
        const char* message;
    };
    const char* vertex = "Zła liczba współrzędnych wierzchołka";
    const char* triangle = "Implementacja obsługuje tylko powierzchnie będące trójkątami";
    const char* format = "Nieprawidłowy format powierzchni";
    const char* same = "Każdy wierzchołek powierzchni powinien mieć określone te same parametry";
    const char* object = "Brak nazwy obiektu lub nazwa zawiera spacje";
    const char* material = "Brak nazwy materiału lub nazwa zawiera spacje";
    const std::string prefix = Triangle123;
    const Case cases[] = {
        {"v 1\n", 1, vertex},
        {"# comment\n\nv\n", 3, vertex},
        {" v 1 2 3\n", 1, vertex},
        {"vn 1\n", 1, "Zła liczba współrzędnych normalnej"},
        {"vt 0.5\n", 1, "Zła liczba współrzędnych tekstury"},
        {prefix + "f 1 2 3 1\n", 5, triangle},
        {prefix + "f 1 2\n", 5, triangle},
        {prefix + "f /1 2 3\n", 5, format},
        {prefix + "f 1 x 3\n", 5, format},
        {prefix + "f 1// 2//1 3//1\n", 5, format},
        {prefix + "vt 0 0\nf 1/1 2 3\n", 6, same},
        {prefix + "vn 0 0 1\nf 1//1 2//1 3//1\n", 6, same},
        {prefix + "o\n", 5, object},
        {prefix + "o two words\n", 5, object},
        {prefix + "usemtl\n", 5, material},
        {prefix + "usemtl a b\n", 5, material},
        {prefix + "s\n", 5, "Grupa wygładzania powinna być określona liczbą całkowitą lub jako \"off\""},
        {prefix + "mtllib a.mtl b.mtl\n", 5,
         "Brak nazwy pliku materiałów, jego nazwa zawiera spacje lub został określony więcej niż jeden plik"},
    };
    for (const Case& c : cases)
        ExpectRejected(c.text, c.line, c.message);
}

// A number beyond the float range would reach the geometry as infinity;
// wherever it stands, its line is refused like a malformed one.
TEST_F(ObjReader, NumbersTooLargeForAFloatAreRefused)
{
    const char* vertex = "Zła liczba współrzędnych wierzchołka";
    ExpectRejected(std::string(Triangle123) + "v 0 0 1e39\n", 5, vertex);
    ExpectRejected("v 1e39 0 0\n", 1, vertex);
    ExpectRejected("v 0 0 0\nv 0 -3.5e38 0\n", 2, vertex);
    ExpectRejected("v 0 0 0 1e400\n", 1, vertex);
    ExpectRejected("vn 0 0 1e39\n", 1, "Zła liczba współrzędnych normalnej");
    ExpectRejected("vt 0 -1e39\n", 1, "Zła liczba współrzędnych tekstury");

    ASSERT_TRUE(Load("v 3.4e38 -1e-50 1e-400\nv 0 0 0\nv 1 1 1\nf 1 2 3\n"));
    EXPECT_EQ(Only().positions[0], (Vec4{3.4e38f, 0, 0, 1})) << "the largest and the tiniest still read";
}

TEST_F(ObjReader, FileWithoutFacesFailsOnItsLastLine)
{
    const char* noFaces = "Żadne powierzchnie (trójkąty) nie zostały określone w pliku";
    ExpectRejected("", 1, noFaces);
    ExpectRejected("v 1 2 3\nv 4 5 6", 2, noFaces);
    ExpectRejected("# only\n# comments\n", 3, noFaces);
    ExpectRejected("o first\no second\n", 3, noFaces);
}

TEST_F(ObjReader, IgnoredLines)
{
    // Comments never fail; a tab keeps a keyword and its numbers in one
    // unknown token; unknown keywords and an indented '#' are skipped.
    ASSERT_TRUE(Load("# f 1 2\n#o a b c\nv\t9 9 9\ng group\nl 1 2\n   # note\n" + std::string(Triangle123)));
    EXPECT_EQ(Only().positions.size(), 3u);
    EXPECT_TRUE(log.Messages().empty());
}

TEST_F(ObjReader, CornerForms)
{
    const std::string lists = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0.5 0.5\nvn 0 0 1\n";
    ASSERT_TRUE(Load(lists + "o p\nf 1 2 3\no pt\nf 1/1 2/1 3/1\no ptn\nf 1/1/1 2/1/1 3/1/1/7\n"
                             "o pn\nf 1//1 2//1 3//1\n"));
    ASSERT_EQ(scene.ObjectCount(), 4u);
    const bool expected[4][2] = {{false, false}, {true, false}, {true, true}, {false, true}};
    for (std::uint32_t i = 0; i < 4; ++i) {
        const SceneObject& object = scene.ObjectAt(i);
        SCOPED_TRACE(object.name);
        EXPECT_EQ(object.hasTexCoords, expected[i][0]);
        EXPECT_EQ(object.hasNormals, expected[i][1]);
        EXPECT_EQ(object.positions.size(), 3u);
        EXPECT_EQ(object.texCoords.size(), object.hasTexCoords ? 3u : 0u);
        EXPECT_EQ(object.normals.size(), object.hasNormals ? 3u : 0u);
    }
}

TEST_F(ObjReader, ObjectsOpenOnlyAfterFaces)
{
    ASSERT_TRUE(Load(std::string(Triangle123) + "usemtl late\ns off\no FirstNS\nusemtl kept\ns 1\no Second\n"
                                                "f 3 2 1\no Empty\n"));
    ASSERT_EQ(scene.ObjectCount(), 3u);
    const SceneObject& unnamed = scene.ObjectAt(0);
    EXPECT_EQ(unnamed.name, "unnamed");
    EXPECT_EQ(unnamed.materialName, "late") << "a usemtl before an o line belongs to the previous object";
    EXPECT_FALSE(unnamed.smooth);
    EXPECT_TRUE(unnamed.castsShadow);

    const SceneObject& renamed = scene.ObjectAt(1);
    EXPECT_EQ(renamed.name, "Second") << "two o lines before a face rename one object";
    EXPECT_EQ(renamed.materialName, "kept");
    EXPECT_TRUE(renamed.smooth);
    EXPECT_TRUE(renamed.castsShadow) << "the shadow flag follows the final name";

    const SceneObject& empty = scene.ObjectAt(2);
    EXPECT_EQ(empty.name, "Empty");
    EXPECT_EQ(empty.materialName, "(null)");
    EXPECT_TRUE(empty.triangles.empty());
    EXPECT_TRUE(empty.positions.empty());
}

TEST_F(ObjReader, FirstObjectStartsWithoutMaterialName)
{
    ASSERT_TRUE(Load(Triangle123));
    EXPECT_EQ(Only().materialName, "");
    EXPECT_EQ(Only().materialIndex, 0u);
}

TEST_F(ObjReader, SmoothingTokens)
{
    ASSERT_TRUE(Load(std::string(Triangle123) + "o a\ns 1\nf 1 2 3\no b\ns 0\nf 1 2 3\no c\ns on\nf 1 2 3\n"
                                                "o d\ns 1\ns off\nf 1 2 3\n"));
    ASSERT_EQ(scene.ObjectCount(), 5u);
    EXPECT_TRUE(scene.ObjectAt(1).smooth);
    EXPECT_TRUE(scene.ObjectAt(2).smooth) << "only \"off\" switches smoothing off";
    EXPECT_TRUE(scene.ObjectAt(3).smooth);
    EXPECT_FALSE(scene.ObjectAt(4).smooth);
}

TEST_F(ObjReader, ShadowNamingRule)
{
    EXPECT_FALSE(CastsShadowByName("NS"));
    EXPECT_FALSE(CastsShadowByName("ShadowPlaneNS"));
    EXPECT_FALSE(CastsShadowByName("FloorNS"));
    EXPECT_TRUE(CastsShadowByName("S"));
    EXPECT_TRUE(CastsShadowByName(""));
    EXPECT_TRUE(CastsShadowByName("Floorns"));
    EXPECT_TRUE(CastsShadowByName("NSFloor"));

    ASSERT_TRUE(Load(std::string(Triangle123) + "o FloorNS\nf 1 2 3\no Box\nf 1 2 3\n"));
    EXPECT_TRUE(scene.ObjectAt(0).castsShadow);
    EXPECT_FALSE(scene.ObjectAt(1).castsShadow);
    EXPECT_TRUE(scene.ObjectAt(2).castsShadow);
}

TEST_F(ObjReader, SquareWithSharedCornersHasFourVertices)
{
    ASSERT_TRUE(Load("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvn 0 0 1\nvn 0 0 -1\n"
                     "f 1//1 2//1 3//1\nf 1//1 3//1 4//1\n"));
    const SceneObject& object = Only();
    EXPECT_EQ(object.positions.size(), 4u);
    EXPECT_EQ(object.normals.size(), 4u);
    ASSERT_EQ(object.triangles.size(), 2u);
    EXPECT_EQ(object.triangles[0], (Triangle{0, 1, 2}));
    EXPECT_EQ(object.triangles[1], (Triangle{0, 2, 3}));
    EXPECT_EQ(object.positions[3], (Vec4{0, 1, 0, 1}));
}

TEST_F(ObjReader, SquareWithSplitNormalsHasSixVertices)
{
    ASSERT_TRUE(Load("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvn 0 0 1\nvn 0 0 -1\n"
                     "f 1//1 2//1 3//1\nf 1//2 3//2 4//2\n"));
    const SceneObject& object = Only();
    EXPECT_EQ(object.positions.size(), 6u);
    EXPECT_EQ(object.triangles[1], (Triangle{3, 4, 5}));
    EXPECT_EQ(object.normals[3], (Vec3{0, 0, -1}));
    EXPECT_EQ(object.positions[4], object.positions[2]);
}

TEST_F(ObjReader, VerticesNumberedByFirstUseAcrossFileWideLists)
{
    // Faces may name vertices further down; numbering is file-wide, and
    // entries an object never uses are not copied into it.
    ASSERT_TRUE(Load("o a\nf 4 2 3\nv 0 0 0\nv 1 0 0\nv 0 1 0\nv 5 5 5\no b\nv 9 9 9\nf 5 1 4\n"));
    ASSERT_EQ(scene.ObjectCount(), 2u);
    const SceneObject& a = scene.ObjectAt(0);
    ASSERT_EQ(a.positions.size(), 3u);
    EXPECT_EQ(a.positions[0], (Vec4{5, 5, 5, 1}));
    EXPECT_EQ(a.triangles[0], (Triangle{0, 1, 2}));
    const SceneObject& b = scene.ObjectAt(1);
    ASSERT_EQ(b.positions.size(), 3u);
    EXPECT_EQ(b.positions[0], (Vec4{9, 9, 9, 1}));
    EXPECT_EQ(b.positions[2], (Vec4{5, 5, 5, 1}));
}

// A corner may name a position before the file gives it; when the same
// tuple comes again after the position was given, it is the same vertex.
TEST_F(ObjReader, TupleNamedBeforeItsPositionStaysOneVertex)
{
    ASSERT_TRUE(Load("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 4\nv 1 1 0\nf 4 2 3\nf 1 2 3\n"));
    const SceneObject& object = Only();
    EXPECT_EQ(object.positions.size(), 4u);
    EXPECT_EQ(object.triangles[1], (Triangle{2, 1, 3}));
    EXPECT_EQ(object.positions[2], (Vec4{1, 1, 0, 1}));
}

// Short decimals take a quicker path than long ones and exponents; every
// form must give the value the C library gives.
TEST_F(ObjReader, NumbersMatchTheCLibraryToTheLastBit)
{
    const std::vector<std::string> numbers = {
        "0.1",      "-2.345678", "1234567", "9999999", "12345678", "0.0000001", "1.0000001", ".5",
        "5.",       "0.3",       "-0.7",    "2.500000", "1.5e3",   "7.25E1",    "0.3e",      "16777217",
        "0.000001", "-0.000000", "3.141593", "0.0",     "00000012", "4.2",      "1e-50",     "9.999999"};
    std::string text;
    for (std::size_t i = 0; i < numbers.size(); i += 3)
        text += "v " + numbers[i] + " " + numbers[i + 1] + " " + numbers[i + 2] + "\n";
    const std::size_t lines = numbers.size() / 3;
    for (std::size_t i = 1; i + 1 < lines; ++i)
        text += "f " + std::to_string(i) + " " + std::to_string(i + 1) + " " + std::to_string(i + 2) + "\n";
    text += "f " + std::to_string(lines) + " 1 2\n";
    ASSERT_TRUE(Load(text));
    const SceneObject& object = Only();
    ASSERT_EQ(object.positions.size(), lines);
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const float expected = std::strtof(numbers[i].c_str(), nullptr);
        const float read = object.positions[i / 3][i % 3];
        EXPECT_EQ(std::memcmp(&expected, &read, sizeof read), 0) << numbers[i] << " read as " << read;
    }
}

// The file is read in pieces of about a megabyte: a line longer than a
// piece, and lines broken across pieces, still count and read as lines.
TEST_F(ObjReader, LinesAcrossPiecesOfALargeFile)
{
    std::string text = "# " + std::string(3u << 20, 'x') + "\n";
    const int vertexLines = 300000;
    for (int i = 0; i < vertexLines; ++i)
        text += "v 1 2 3\r\n";
    ExpectRejected(text + "v 1\r\nf 1 2 3\n", vertexLines + 2, "Zła liczba współrzędnych wierzchołka");
    ASSERT_TRUE(Load(text + "o Last\r\nf 1 2 3"));
    EXPECT_EQ(Only().name, "Last");
    EXPECT_EQ(Only().positions[2], (Vec4{1, 2, 3, 1}));
}

// A file of many pieces is parsed on two threads and applied in file
// order: objects, their statements and vertices named before their
// positions come out as from one text, and an error in a late piece, found
// while parsing or while building its object, names its own line.
TEST_F(ObjReader, PiecesOfALargeFileApplyInFileOrder)
{
    const int objects = 12000;
    std::string text;
    for (int o = 0; o < objects; ++o) {
        const std::string n = std::to_string(o);
        const std::string face = "f " + std::to_string(3 * o + 1) + " " + std::to_string(3 * o + 2) + " " +
                                 std::to_string(3 * o + 3) + "\n";
        text += "o Part" + n + "\nusemtl M" + std::to_string(o % 7) + "\ns " + (o % 2 ? "off" : "1") + "\n";
        text += o % 3 == 0 ? face : "# " + std::string(100, 'x') + "\n";
        for (int k = 0; k < 3; ++k)
            text += "v " + n + " " + std::to_string(k) + " 0\n";
        if (o % 3 != 0)
            text += face;
    }
    const auto lines = static_cast<unsigned>(std::count(text.begin(), text.end(), '\n'));
    ASSERT_TRUE(Load(text));
    ASSERT_EQ(scene.ObjectCount(), unsigned(objects));
    for (int o : {0, 1, 2, 4321, objects - 1}) {
        const SceneObject& object = scene.ObjectAt(o);
        EXPECT_EQ(object.name, "Part" + std::to_string(o));
        EXPECT_EQ(object.materialName, "M" + std::to_string(o % 7));
        EXPECT_EQ(object.smooth, o % 2 == 0);
        ASSERT_EQ(object.positions.size(), 3u);
        EXPECT_EQ(object.positions[2], (Vec4{float(o), 2, 0, 1}));
        EXPECT_EQ(object.triangles[0], (Triangle{0, 1, 2}));
    }
    ExpectRejected(text + "f 1 2\n", lines + 1, "Implementacja obsługuje tylko powierzchnie będące trójkątami");
    ExpectRejected(text + "vn 0 0 1\nf 1//1 2//1 3//1\n", lines + 2,
                   "Każdy wierzchołek powierzchni powinien mieć określone te same parametry");
    ExpectRejected(text + "f 1 2 3\nf 1 2 99999\n", lines + 2, "Indeks w definicji powierzchni jest spoza zakresu");
}

// Digits are scanned a word at a time. A file's last line, moved to the
// front of the read buffer, lies before bytes of the lines read with it
// (here the digit 5 of a comment and a blank): they must not join its last
// number. Indices of eight or more digits, signs and tabs still read as
// the full scan reads them.
TEST_F(ObjReader, NumbersEndWhereTheirTokensEnd)
{
    const std::string piece = "#" + std::string((1u << 20) - 2, '7') + "\n#xxxxxx5 \n";
    ASSERT_TRUE(Load(piece + "v 0 0 0\nv 1 0 0\nv 0 1 3\nf 1 2 3"));
    EXPECT_EQ(Only().triangles[0], (Triangle{0, 1, 2}));
    ASSERT_TRUE(Load(piece + "v 0 0 0\nv 1 0 0\nf 1 2 3\nv 0 1 3"));
    EXPECT_EQ(Only().positions[2], (Vec4{0, 1, 3, 1}));
    ASSERT_TRUE(Load("v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\n"
                     "f 00000001 000000002/ 0000000003\t\nf +1 2 3 \n"));
    EXPECT_EQ(Only().triangles.size(), 2u);
    EXPECT_EQ(Only().positions.size(), 3u);
    EXPECT_EQ(Only().triangles[1], (Triangle{0, 1, 2}));
    EXPECT_TRUE(Load("v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nf 1/1 00000002/00000001 3/+1\n"));
    EXPECT_TRUE(Only().hasTexCoords);
}

TEST_F(ObjReader, IndicesOutsideTheirListsFailTheLoad)
{
    const char* range = "Indeks w definicji powierzchni jest spoza zakresu";
    const std::string lists = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n";
    ExpectRejected(lists + "f 1 2 3\nf 0 1 2\n", 7, range);
    ExpectRejected(lists + "f -1 2 3\n", 6, range);
    ExpectRejected(lists + "f 1 2 3\n\nf 1 2 4\n", 8, range);
    ExpectRejected(lists + "f 1/1 2/1 3/2\n", 6, range);
    ExpectRejected(lists + "f 1//1 2//1 3//0\n", 6, range);
    ExpectRejected(lists + "f 1/1/1 2/1/1 3/1/2\n", 6, range);
    ExpectRejected(lists + "f 1 2 99999999999999999999\n", 6, range);
    // The first object is fine; the second one's bad face still empties all.
    ExpectRejected(lists + "o a\nf 1 2 3\no b\nf 3 2 1\nf 1 2 5\n", 10, range);
}

TEST_F(ObjReader, CarriageReturnsBeforeLineFeedsAreDropped)
{
    ASSERT_TRUE(Load("o Caster\r\nv 0 0 0\r\nv 1 0 0\r\nv 0 1 0\r\nf 1 2 3\r\nusemtl red\r\n"));
    EXPECT_EQ(Only().name, "Caster");
    EXPECT_EQ(Only().materialName, "red");
    ExpectRejected("v 1 2 3\r\nv 1\r\n", 2, "Zła liczba współrzędnych wierzchołka");
}

TEST_F(ObjReader, LastLineWithoutLineBreak)
{
    ASSERT_TRUE(Load("v 0 0 0\nv 1 0 0\nv 0 1 0\no Last\nf 1 2 3"));
    EXPECT_EQ(Only().name, "Last");
    EXPECT_EQ(Only().triangles.size(), 1u);
}

TEST_F(ObjReader, DuplicateObjectNamesEmptyTheScene)
{
    EXPECT_FALSE(Load(std::string(Triangle123) + "o unnamed\nf 1 2 3\n"));
    EXPECT_EQ(scene.ObjectCount(), 0u);
    ASSERT_EQ(log.Messages().size(), 1u);
    EXPECT_EQ(log.Messages()[0], "Zduplikowana nazwa obiektu: unnamed");
}

TEST_F(ObjReader, ReloadReplacesEverything)
{
    ASSERT_TRUE(Load(std::string(Triangle123) + "o a\nf 1 2 3\n"));
    ASSERT_EQ(scene.ObjectCount(), 2u);
    EXPECT_FALSE(Load("v 1\n"));
    EXPECT_EQ(scene.ObjectCount(), 0u);
    EXPECT_EQ(scene.FindObject("a"), NoSceneObject);
}

TEST_F(ObjReader, OnlyRegularFilesAreRead)
{
    // Failing silently, as for a missing file; a pipe must not block.
    const std::string pipe = folder.Path() + "/pipe.obj";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_FALSE(scene.Load(folder.Path() + "/absent.obj"));
    EXPECT_FALSE(scene.Load(folder.Path()));
    EXPECT_FALSE(scene.Load(pipe));
    EXPECT_FALSE(scene.Load("/dev/zero"));
    EXPECT_TRUE(log.Messages().empty());
}
}
