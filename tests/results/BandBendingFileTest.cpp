#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/Simulation.h"
#include "results/BandBendingFile.h"
#include "results/Conditions.h"

namespace fs = std::filesystem;

namespace {

// A four-point model a reader can check by hand; its third row is the worked example of the
// file's format (2 nm, 0.99876543 V, -12.3456789 kV/cm, -10 microC/cm^2, -12.3456789 kV/cm).
Simulation SmallModel(bool ferroelectric) {
    Simulation m;
    StoreStartupConditions(m);
    m.SetThickness(4);
    m.SetDielectricConstant(100);
    m.SetMaxRemanentPolarization(ferroelectric ? 10 : 0);
    m.SetMaxCoerciveField(100);
    m.SetConductionType("p-type");
    m.SetDensityOfDopants(5e18L);
    m.SetElectrodeArea(1);
    m.SetBuiltInPotential(1);
    m.SetAppliedVoltage(0);
    m.FileName = "/data/sample.BB";
    m.NumberOfPoints = 4;
    m.Distance = {0, 1e-9L, 2e-9L, 3e-9L};
    m.Voltage = {1, 0.5L, 0.99876543L, 0};
    m.Field = {-1e6L, 1500000.0L, -1234567.89L, 7};
    m.RemanentPolarization = {0.1L, 0.00001L, -0.1L, 7};
    m.CoerciveField = {-1e7L, 0, -1234567.89L, 7};
    return m;
}

const char* const kFerroelectricHeader =
    "% Simulation of Band Bending in Schottky Barrier Diode using Ferroelectric Semiconductor\r\n"
    "% Version Information: 1.1 (2003/7/1)\r\n"
    "% File name: /data/sample.BB\r\n"
    "% Conditions of Ferroelectric Semiconductor\r\n"
    "% Thickness [nm]: 4\r\n"
    "% Dielectric Constant: 100\r\n"
    "% Maximum Remanent Polarization [microC/cm^2]: 10\r\n"
    "% Maximum Coercive Field [kV/cm]: 100\r\n"
    "% Conduction Type: p-type\r\n"
    "% Density of Dopants [cm^-3]: 5E18\r\n"
    "% Conditions of Schottky Barrier Diode\r\n"
    "% Electrode Area [mm^2]: 1\r\n"
    "% Built-in Potential [V]: 1\r\n"
    "% Reverse Bias Voltage [V]: 0\r\n"
    "% Temperature [A]: 300\r\n"
    "% Distance [nm]  Voltage [V]  Field [kV/cm]  Remanent Polarization [microC/cm^2]  "
    "CoerciveField [kV/cm]   \r\n";

TEST(BandBendingText, FerroelectricVariantByteForByte) {
    const std::string expected =
        std::string(kFerroelectricHeader) +
        "0                 1               -10               10              -100\r\n"
        "1                 0.5               15               0.001              0\r\n"
        "2                 0.998765               -12.3457               -10              "
        "-12.3457\r\n";
    EXPECT_EQ(BandBendingText(SmallModel(true)), expected);
}

TEST(BandBendingText, SemiconductorVariantByteForByte) {
    // A coercive field without a remanent polarization still gives the semiconductor variant.
    const std::string expected =
        "% Simulation of Band Bending in Schottky Barrier Diode using Semiconductor\r\n"
        "% Version Information: 1.1 (2003/7/1)\r\n"
        "% File name: /data/sample.BB\r\n"
        "% Conditions of Semiconductor\r\n"
        "% Thickness [nm]: 4\r\n"
        "% Dielectric Constant: 100\r\n"
        "% Conduction Type: p-type\r\n"
        "% Density of Dopants [cm^-3]: 5E18\r\n"
        "% Conditions of Schottky Barrier Diode\r\n"
        "% Electrode Area [mm^2]: 1\r\n"
        "% Built-in Potential [V]: 1\r\n"
        "% Reverse Bias Voltage [V]: 0\r\n"
        "% Temperature [A]: 300\r\n"
        "% Distance [nm]  Voltage [V]  Field [kV/cm]   \r\n"
        "0                 1               -10\r\n"
        "1                 0.5               15\r\n"
        "2                 0.998765               -12.3457\r\n";
    EXPECT_EQ(BandBendingText(SmallModel(false)), expected);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

TEST(BandBendingText, HeaderValuesInTheGeneralFormat) {
    struct Case {
        void (*set)(Simulation&);
        std::size_t line;
        const char* text;
    };
    const Case cases[] = {
        {[](Simulation& m) { m.SetElectrodeArea(0.00001L); }, 11, "% Electrode Area [mm^2]: 1E-5"},
        {[](Simulation& m) { m.SetElectrodeArea(0.0001L); }, 11, "% Electrode Area [mm^2]: 0.0001"},
        {[](Simulation& m) { m.SetAppliedVoltage(-0.5L); }, 13, "% Reverse Bias Voltage [V]: -0.5"},
        {[](Simulation& m) { m.SetMeasurementTemperature(77.5L); }, 14, "% Temperature [A]: 77.5"},
        {[](Simulation& m) { m.SetThickness(1e16L); }, 4, "% Thickness [nm]: 1E16"},
        {[](Simulation& m) { m.SetConductionType("n-type"); }, 8, "% Conduction Type: n-type"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Simulation m = SmallModel(true);
        c.set(m);
        const auto lines = Lines(BandBendingText(m));
        ASSERT_GT(lines.size(), c.line);
        EXPECT_EQ(lines[c.line], c.text);
    }
}

TEST(BandBendingText, RowsForAllButTheLastPointAndLargeDistancesInExponentForm) {
    Simulation m = SmallModel(false);
    m.Distance = {0, 1e-3L, 2e-3L, 3e-3L};
    const auto lines = Lines(BandBendingText(m));
    ASSERT_EQ(lines.size(), 14u + 3u);
    EXPECT_EQ(lines[15].substr(0, 6), "1e+06 ");

    Simulation one = SmallModel(true);
    one.Distance.resize(1);
    one.Voltage.resize(1);
    one.Field.resize(1);
    one.RemanentPolarization.resize(1);
    one.CoerciveField.resize(1);
    EXPECT_EQ(BandBendingText(one), kFerroelectricHeader);
}

TEST(BandBendingText, RefusesAModelWithNothingSolved) {
    Simulation m;
    StoreStartupConditions(m);
    m.FileName = "/data/never.BB";
    try {
        BandBendingText(m);
        ADD_FAILURE() << "wrote a file without rows";
    } catch (const SaveError& error) {
        EXPECT_NE(std::string(error.what()).find("run the simulation first"), std::string::npos);
    }
}

class SaveBandBending : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/bandbending-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(dir, ignored);
    }
    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static void Write(const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string ExpectSaveError(Simulation& m) {
        try {
            m.SaveBandBending();
            ADD_FAILURE() << "reported success";
        } catch (const SaveError& error) {
            const std::string message = error.what();
            EXPECT_NE(message.find(m.FileName), std::string::npos) << message;
            return message;
        }
        return {};
    }
    fs::path dir;
};

TEST_F(SaveBandBending, WritesTheWholeTextAndReplacesAnExistingFile) {
    Simulation m = SmallModel(true);
    m.FileName = (dir / "run.BB").string();
    Write(m.FileName, std::string(100000, 'x'));
    m.SaveBandBending();
    EXPECT_EQ(Read(m.FileName), BandBendingText(m));
    EXPECT_EQ(Entries(), std::vector<std::string>{"run.BB"}) << "no temporary file is left";
}

TEST_F(SaveBandBending, KeepsPermissionsAndSymbolicLinks) {
    Simulation m = SmallModel(true);
    const fs::path target = dir / "target.BB";
    Write(target, "old");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(target, dir / "link.BB");
    m.FileName = (dir / "link.BB").string();
    m.SaveBandBending();
    EXPECT_TRUE(fs::is_symlink(dir / "link.BB"));
    EXPECT_EQ(Read(target), BandBendingText(m));
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(SaveBandBending, ReportsAFileThatCannotBeCreatedAndNamesIt) {
    Simulation m = SmallModel(true);
    m.FileName = (dir / "missing" / "run.BB").string();
    ExpectSaveError(m);
    EXPECT_TRUE(Entries().empty());

    m.FileName = dir.string();  // a directory
    ExpectSaveError(m);

    m.FileName = "";
    EXPECT_THROW(m.SaveBandBending(), SaveError);
}

TEST_F(SaveBandBending, LeavesAReadOnlyFileAlone) {
    Simulation m = SmallModel(true);
    m.FileName = (dir / "kept.BB").string();
    Write(m.FileName, "earlier results");
    fs::permissions(m.FileName, fs::perms::owner_read | fs::perms::group_read);
    ExpectSaveError(m);
    EXPECT_EQ(Read(m.FileName), "earlier results");
    EXPECT_EQ(Entries(), std::vector<std::string>{"kept.BB"});
}

// A write that fails half-way (here: the file size limit, which binds the superuser too) must
// leave the earlier file as it was and no partial file behind.
TEST_F(SaveBandBending, AFailedWriteKeepsThePreviousFile) {
    Simulation m = SmallModel(true);
    m.FileName = (dir / "kept.BB").string();
    Write(m.FileName, "earlier results");
    ASSERT_GT(BandBendingText(m).size(), 512u);

    rlimit original{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &original), 0);
    const rlimit small{512, original.rlim_max};
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string message = ExpectSaveError(m);
    setrlimit(RLIMIT_FSIZE, &original);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_NE(message.find("Cannot write file"), std::string::npos) << message;
    EXPECT_EQ(Read(m.FileName), "earlier results");
    EXPECT_EQ(Entries(), std::vector<std::string>{"kept.BB"});
}

TEST_F(SaveBandBending, RefusesAnUnsolvedModelWithoutTouchingTheDisk) {
    Simulation m;
    StoreStartupConditions(m);
    m.FileName = (dir / "empty.BB").string();
    EXPECT_THROW(m.SaveBandBending(), SaveError);
    EXPECT_TRUE(Entries().empty());
}

}  // namespace
