// The command-line tool end to end: the real binary, its exit code, its output and its files.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

struct Result {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/bandbending-cli-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }

    Result Run(std::vector<std::string> args) const {
        args.insert(args.begin(), BANDBENDING_CLI);
        std::vector<char*> argv;
        for (auto& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        const std::string out = (dir / ".stdout").string();
        const std::string err = (dir / ".stderr").string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        pid_t pid = 0;
        Result result;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
            int status = 0;
            waitpid(pid, &status, 0);
            result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        posix_spawn_file_actions_destroy(&actions);
        result.out = Read(out);
        result.err = Read(err);
        fs::remove(out);
        fs::remove(err);
        return result;
    }

    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    fs::path dir;
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

TEST_F(CommandLine, DefaultRunWritesTheFileOfTheParameterPanelsDefaults) {
    const std::string chosen = (dir / "sample").string();
    const Result result = Run({"-o", chosen});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_NE(result.out.find("Increment of Distance  [nm]: 1\n"), std::string::npos);
    EXPECT_NE(result.out.find("Sweeps: 100000\n"), std::string::npos) << result.out;

    const std::string text = Read(chosen + ".BB");
    const auto lines = Lines(text);
    const std::vector<std::string> header = {
        "% Simulation of Band Bending in Schottky Barrier Diode using Ferroelectric Semiconductor",
        "% Version Information: 1.1 (2003/7/1)",
        "% File name: " + chosen + ".BB",
        "% Conditions of Ferroelectric Semiconductor",
        "% Thickness [nm]: 1000",
        "% Dielectric Constant: 100",
        "% Maximum Remanent Polarization [microC/cm^2]: 10",
        "% Maximum Coercive Field [kV/cm]: 100",
        "% Conduction Type: p-type",
        "% Density of Dopants [cm^-3]: 5E18",
        "% Conditions of Schottky Barrier Diode",
        "% Electrode Area [mm^2]: 1",
        "% Built-in Potential [V]: 1",
        "% Reverse Bias Voltage [V]: 0",
        "% Temperature [A]: 300",
        "% Distance [nm]  Voltage [V]  Field [kV/cm]  Remanent Polarization [microC/cm^2]  "
        "CoerciveField [kV/cm]   ",
    };
    ASSERT_EQ(lines.size(), header.size() + 999);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 16), header);
    EXPECT_EQ(lines[16].substr(0, 19), "0                 1");
    EXPECT_EQ(lines.back().substr(0, 4), "998 ");
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    EXPECT_EQ(text.find('\n', 0) - 1, text.find('\r', 0));

#ifndef BANDBENDING_SANITIZED
    // The sanitizers' shadow memory would swamp the figure.
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    EXPECT_LT(usage.ru_maxrss, 20 * 1024) << "peak resident memory in kB";
#endif
}

TEST_F(CommandLine, RejectedValuesPrintTheProgramsMessageAndWriteNothing) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--thickness=0"}, "The thickness should be positive."},
        {{"--thickness=-1"}, "The thickness should be positive."},
        {{"--dielectric-constant=0"}, "The dielectric constant should be positive."},
        {{"--max-remanent-polarization=-1"},
         "The Maximum of the remanent polarization should be positive or 0."},
        {{"--max-coercive-field=-1"}, "The Maximum of the coercive field should be positive or 0."},
        {{"--max-coercive-field=0"},
         "The Maximum of the coercive field should be positive when the maximum remanent "
         "polarization is above 0."},
        {{"--density-of-dopants=0"}, "The density of dopants should be positive."},
        {{"--electrode-area=0"}, "The electrode area should be positive."},
        {{"--built-in-potential=0"}, "Built-in voltage at left side must be positive."},
        {{"--reverse-bias=-1"}, "Applied voltage must be higher."},
        {{"--temperature=0"}, "The measurement temperature in K should be positive."},
        {{"--temperature=-1"}, "The measurement temperature in K should be positive."},
        {{"--repeat=abc"}, "'abc' is not a valid integer value."},
        {{"--repeat=3000000000"}, "'3000000000' is not a valid integer value."},
        {{"--temperature=warm"}, "'warm' is not a valid floating point value."},
    };
    for (const auto& [args, message] : cases) {
        SCOPED_TRACE(args[0]);
        std::vector<std::string> withOutput = args;
        withOutput.push_back("--output=" + (dir / "never").string());
        const Result result = Run(withOutput);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, message + "\n");
        EXPECT_EQ(result.out, "");
        EXPECT_TRUE(Files().empty());
    }
}

TEST_F(CommandLine, TextsThatAreNotNumbersAreRejectedInEveryField) {
    const char* options[] = {
        "--thickness",          "--dielectric-constant", "--max-remanent-polarization",
        "--max-coercive-field", "--density-of-dopants",  "--electrode-area",
        "--built-in-potential", "--reverse-bias"};
    const char* texts[] = {"", "  ", "1,5", "1e", "--1", "0x10", "inf", "nan", "1e99999"};
    for (const char* option : options) {
        for (const char* text : texts) {
            SCOPED_TRACE(std::string(option) + " " + text);
            const Result result = Run({option, text, "-o", (dir / "never").string()});
            EXPECT_EQ(result.exitCode, 1);
            EXPECT_EQ(result.err,
                      "'" + std::string(text) + "' is not a valid floating point value.\n");
            EXPECT_TRUE(Files().empty());
        }
    }
}

TEST_F(CommandLine, SemiconductorRunWithTheRepeatCountRaisedToItsMinimum) {
    const Result result = Run({"--max-remanent-polarization", "0", "--max-coercive-field", "0",
                               "--repeat", "5", "--conduction-type", "n-type", "--reverse-bias",
                               "-0.5", "-o", (dir / "run.txt").string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("Maximum increment of Voltage  [V]: 0.0015\n"), std::string::npos)
        << result.out;
    EXPECT_EQ(Files(), std::vector<std::string>{"run.BB"});
    const auto lines = Lines(Read(dir / "run.BB"));
    ASSERT_EQ(lines.size(), 14u + 999u);
    EXPECT_EQ(lines[0],
              "% Simulation of Band Bending in Schottky Barrier Diode using Semiconductor");
    EXPECT_EQ(lines[6], "% Conduction Type: n-type");
    EXPECT_EQ(lines[11], "% Reverse Bias Voltage [V]: -0.5");
    EXPECT_EQ(lines[13], "% Distance [nm]  Voltage [V]  Field [kV/cm]   ");
}

TEST_F(CommandLine, ARepeatCountAboveTheMinimumShrinksTheSteps) {
    const Result result =
        Run({"--max-remanent-polarization=0", "--max-coercive-field=0", "--repeat=20000"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("Maximum increment of Voltage  [V]: 0.0005\n"), std::string::npos)
        << result.out;
}

TEST_F(CommandLine, AnOutputThatCannotBeWrittenIsAnErrorNamingTheFile) {
    const std::string target = (dir / "missing" / "run").string();
    const Result result =
        Run({"--max-remanent-polarization=0", "--max-coercive-field=0", "-o", target});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find(target + ".BB"), std::string::npos) << result.err;
    EXPECT_TRUE(Files().empty());
}

TEST_F(CommandLine, HelpNamesEveryOption) {
    const Result result = Run({"--help"});
    EXPECT_EQ(result.exitCode, 0);
    for (const char* option :
         {"--thickness", "--dielectric-constant", "--max-remanent-polarization",
          "--max-coercive-field", "--conduction-type", "--density-of-dopants", "--electrode-area",
          "--built-in-potential", "--reverse-bias", "--temperature", "--repeat", "--output"}) {
        EXPECT_NE(result.out.find(option), std::string::npos) << option;
    }
}

}  // namespace
