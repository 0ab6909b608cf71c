#include "LogCapture.h"
#include "Scene.h"
#include "SceneTestFiles.h"

#include <gtest/gtest.h>

using namespace KorvanaFramework;
using namespace SceneTests;

namespace
{
class MtlReader : public ::testing::Test
{
protected:
    bool Load(const std::string& text)
    {
        path = folder.Write("materials.mtl", text);
        return library.Load(path);
    }

    // The library must end holding the default material alone.
    void ExpectDefaultOnly()
    {
        ASSERT_EQ(library.MaterialCount(), 1u);
        EXPECT_EQ(library.MaterialAt(0).name, "(null)");
        std::uint32_t index = 7;
        EXPECT_TRUE(library.Find("(null)", index));
        EXPECT_EQ(index, 0u);
    }

    void ExpectRejected(const std::string& text, unsigned line, const std::string& message)
    {
        SCOPED_TRACE(text);
        const std::size_t before = log.Messages().size();
        EXPECT_FALSE(Load(text));
        ExpectDefaultOnly();
        ASSERT_EQ(log.Messages().size(), before + 1);
        EXPECT_EQ(log.Messages().back(), ReaderError(path, line, message));
    }

    const Material& Last() { return library.MaterialAt(library.MaterialCount() - 1); }

    TempFolder folder;
    LogCapture log;
    MaterialLibrary library;
    std::string path;
};

TEST_F(MtlReader, DefaultMaterial)
{
    ExpectDefaultOnly();
    const Material& m = library.MaterialAt(0);
    EXPECT_EQ(m.ambient, (Vec4{1, 1, 1, 1})) << "full white ambient, not OpenGL's grey";
    EXPECT_EQ(m.diffuse, (Vec4{1, 1, 1, 1}));
    EXPECT_EQ(m.specular, (Vec4{0, 0, 0, 1}));
    EXPECT_EQ(m.shininess, 0.0f);
}

TEST_F(MtlReader, ColoursTakeOneOrThreeComponents)
{
    ASSERT_TRUE(Load("newmtl grey\nKa 0.5\nKd 0.1 0.2 0.3 0.4\nKs 2 -1 0.5\n"));
    ASSERT_EQ(library.MaterialCount(), 2u);
    EXPECT_EQ(Last().name, "grey");
    EXPECT_EQ(Last().ambient, (Vec4{0.5f, 0.5f, 0.5f, 1}));
    EXPECT_EQ(Last().diffuse, (Vec4{0.1f, 0.2f, 0.3f, 1})) << "a fourth number is ignored";
    EXPECT_EQ(Last().specular, (Vec4{2, -1, 0.5f, 1})) << "colours are stored as read";
}

TEST_F(MtlReader, ShininessIsScaledAndLimited)
{
    const std::pair<const char*, float> cases[] = {
        {"500", 64.0f}, {"1000", 128.0f}, {"2000", 128.0f}, {"-5", 0.0f}, {"1", 0.128f}};
    for (const auto& [ns, shininess] : cases) {
        ASSERT_TRUE(Load(std::string("newmtl m\nNs ") + ns + "\n"));
        EXPECT_FLOAT_EQ(Last().shininess, shininess) << "Ns " << ns;
    }
}

TEST_F(MtlReader, DissolveSetsEveryAlpha)
{
    ASSERT_TRUE(Load("newmtl glass\nd 0.5\nKa 0.2\n"));
    EXPECT_EQ(Last().ambient, (Vec4{0.2f, 0.2f, 0.2f, 0.5f}));
    EXPECT_EQ(Last().diffuse[3], 0.5f);
    EXPECT_EQ(Last().specular[3], 0.5f);
}

TEST_F(MtlReader, RejectedStatements)
{
    const char* newmtl = "Brak poprzedzającej linii \"newmtl\" rozpoczynającej definicję materiału";
    const char* colour = "Kolor powinien mieć 1 lub 3 komponenty";
    ExpectRejected("# header\nKd 1 1 1\n", 2, newmtl);
    ExpectRejected("d 0.5\n", 1, newmtl);
    ExpectRejected("Ns 10\n", 1, newmtl);
    ExpectRejected("newmtl a\nKa 0.1 0.2\n", 2, colour);
    ExpectRejected("newmtl a\nKs\n", 2, colour);
    ExpectRejected("newmtl a\n  Ka 0.1 0.2 0.3\n", 2, colour);
    const char* shininess = "Wykładnik odbicia powinien być określony przez jedną wartość zmiennoprzecinkową";
    ExpectRejected("newmtl a\nNs\n", 2, shininess);
    ExpectRejected("newmtl a\nd x\n", 2, "Przezroczystość powinna być określona przez jedną wartość zmiennoprzecinkową");
    ExpectRejected("newmtl\n", 1, "Brak nazwy materiału lub nazwa zawiera spacje");
    ExpectRejected("newmtl two words\n", 1, "Brak nazwy materiału lub nazwa zawiera spacje");
    ExpectRejected("newmtl a\nillum\n", 2, "Brak parametru określającego model oświetlenia");
    ExpectRejected("newmtl a\nKd 1 1 1\nnewmtl b\r\nKa 1 1\r\n", 4, colour);
    ExpectRejected("newmtl a\nKd 1 1e39 1\n", 2, colour);
    ExpectRejected("newmtl a\nNs 1e999\n", 2, shininess);
}

TEST_F(MtlReader, AcceptedWithoutEffect)
{
    ASSERT_TRUE(Load("illum 2\nnewmtl a\nTr 0.5\nNi 1.5\nKe 1 1 1\nmap_Kd texture.png\nillum 1\n"));
    ASSERT_EQ(library.MaterialCount(), 2u);
    EXPECT_EQ(Last().diffuse, (Vec4{1, 1, 1, 1}));
    EXPECT_TRUE(log.Messages().empty());
}

TEST_F(MtlReader, DuplicateNamesLeaveTheDefaultOnly)
{
    EXPECT_TRUE(Load("newmtl red\nKd 1 0 0\nnewmtl red\n"));
    ExpectDefaultOnly();
    ASSERT_EQ(log.Messages().size(), 1u);
    EXPECT_EQ(log.Messages()[0], "Zduplikowana nazwa materiału: red");

    EXPECT_TRUE(Load("newmtl (null)\nKd 1 0 0\n"));
    ExpectDefaultOnly();
    EXPECT_EQ(library.MaterialAt(0).diffuse, (Vec4{1, 1, 1, 1}));
}

TEST_F(MtlReader, EmptyAndMissingFiles)
{
    EXPECT_TRUE(Load(""));
    ExpectDefaultOnly();
    ASSERT_TRUE(Load("newmtl a\n"));
    EXPECT_FALSE(library.Load(folder.Path() + "/absent.mtl"));
    ExpectDefaultOnly();
    EXPECT_TRUE(log.Messages().empty());
}

TEST_F(MtlReader, MaterialsKeepFileOrder)
{
    ASSERT_TRUE(Load("newmtl b\nKd 0 0 1\nnewmtl a\nKd 1 0 0\nKs 0.5\nNs 250\n"));
    ASSERT_EQ(library.MaterialCount(), 3u);
    EXPECT_EQ(library.MaterialAt(1).name, "b");
    EXPECT_EQ(library.MaterialAt(2).name, "a");
    EXPECT_EQ(library.MaterialAt(2).specular, (Vec4{0.5f, 0.5f, 0.5f, 1}));
    EXPECT_FLOAT_EQ(library.MaterialAt(2).shininess, 32.0f);
    std::uint32_t index = 0;
    ASSERT_TRUE(library.Find("a", index));
    EXPECT_EQ(index, 2u);
    EXPECT_FALSE(library.Find("A", index));
}
}
