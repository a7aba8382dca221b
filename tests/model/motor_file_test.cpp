#include "platform/durable_file.h"
#include "model/formats/motor_file.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cmath>
#include <filesystem>
#include <limits>
#include <fstream>
#include <sstream>

#include "model/errors.h"
#include "tests/support/grains.h"
#include "model/motor.h"

#ifndef THRUSTLET_EXAMPLES_DIR
#error "THRUSTLET_EXAMPLES_DIR must name the examples folder"
#endif

namespace thrustlet {
namespace {

using testing::MakeGrain;

namespace fs = std::filesystem;

class MotorFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("thrustlet_motor_file_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir_, ec);
    }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    std::string Write(const std::string& name, const std::string& text) const {
        std::ofstream(Path(name), std::ios::binary) << text;
        return Path(name);
    }

    static std::string Slurp(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }

    // A motor whose every field differs from what test files hold.
    static cMotor Previous() {
        cMotor motor;
        motor.SetNozzleDia(0.7f);
        motor.AddGrain(MakeGrain(9, 8, 7));
        motor.SetISPStar(1);
        motor.SetDensity(2);
        motor.SetBallisticA(3);
        motor.SetBallisticN(4);
        return motor;
    }

    static void ExpectUnchanged(const cMotor& motor) {
        EXPECT_EQ(motor.NozzleDia(), 0.7f);
        ASSERT_EQ(motor.GrainCount(), 1);
        EXPECT_EQ(motor.Grain(1)->Length(), 9.0f);
        EXPECT_EQ(motor.ISPStar(), 1.0f);
        EXPECT_EQ(motor.Density(), 2.0f);
        EXPECT_EQ(motor.BallisticA(), 3.0f);
        EXPECT_EQ(motor.BallisticN(), 4.0f);
    }

    std::size_t FilesInDir() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
    }

    fs::path dir_;
};

const char kExample[] =
    "Name:\r\nNozzleDia:0.5\r\nGrain:1,3.5,2,0.8\r\nGrain:1,3.5,2,1\r\nPropellant Data\r\n"
    "ISP*:900\r\nDensity:0.06\r\nBallisticA:0.05\r\nBallisticN:0.3\r\n";

TEST_F(MotorFileTest, ExampleFileReadsAndWritesBackByteIdentical) {
    cMotor motor;
    motor.ReadFromFile(Write("in.tlt", kExample));
    EXPECT_EQ(motor.NozzleDia(), 0.5f);
    ASSERT_EQ(motor.GrainCount(), 2);
    EXPECT_EQ(motor.Grain(1)->CoreDiameter(), 0.8f);
    EXPECT_EQ(motor.Grain(2)->CoreDiameter(), 1.0f);
    EXPECT_EQ(motor.Grain(2)->GrainType(), 1);
    EXPECT_EQ(motor.ISPStar(), 900.0f);
    EXPECT_EQ(motor.Density(), 0.06f);
    EXPECT_EQ(motor.BallisticA(), 0.05f);
    EXPECT_EQ(motor.BallisticN(), 0.3f);
    motor.SaveToFile(Path("out.tlt"));
    EXPECT_EQ(Slurp(Path("out.tlt")), kExample);
    EXPECT_EQ(Slurp(std::string(THRUSTLET_EXAMPLES_DIR) + "/two_grain.tlt"), kExample);
}

TEST_F(MotorFileTest, EveryExampleRoundTripsByteIdentical) {
    for (const auto& entry : fs::directory_iterator(THRUSTLET_EXAMPLES_DIR)) {
        if (entry.path().extension() != ".tlt") continue;
        cMotor motor;
        motor.ReadFromFile(entry.path().string());
        EXPECT_GT(motor.GrainCount(), 0) << entry.path();
        // Written from its own folder, as saving it there would.
        EXPECT_EQ(MotorFileText(motor, fs::absolute(entry.path()).parent_path().string()), Slurp(entry.path().string()))
            << entry.path();
    }
}

TEST_F(MotorFileTest, WritesSevenLinesForAMotorWithoutGrains) {
    cMotor motor;
    motor.SetNozzleDia(1.0f / 3.0f);
    motor.SetISPStar(2e10f);
    motor.SetDensity(-0.0001f);
    motor.SetBallisticA(0.00001f);
    motor.SetBallisticN(12345678.0f);
    EXPECT_EQ(MotorFileText(motor),
              "Name:\r\nNozzleDia:0.3333333\r\nPropellant Data\r\nISP*:2E+10\r\n"
              "Density:-0.0001\r\nBallisticA:1E-05\r\nBallisticN:1.234568E+07\r\n");
    motor.SaveToFile(Path("m.tlt"));
    cMotor back = Previous();
    back.ReadFromFile(Path("m.tlt"));
    EXPECT_EQ(back.GrainCount(), 0);
    EXPECT_EQ(back.NozzleDia(), 0.3333333f);
    EXPECT_EQ(back.ISPStar(), 2e10f);
    EXPECT_EQ(back.BallisticA(), 0.00001f);
    EXPECT_EQ(back.BallisticN(), 12345680.0f);  // 7 significant digits
}

TEST_F(MotorFileTest, RoundTripKeepsGrainOrderAndOddValues) {
    cMotor motor;
    motor.SetNozzleDia(0.43f);
    motor.AddGrain(MakeGrain(1.5f, 2, 0.75f));
    motor.AddGrain(MakeGrain(-1, 0, 3e38f, 7));  // stored as it stands
    motor.AddGrain(MakeGrain(3.1415926f, 2, 1));
    motor.SaveToFile(Path("m.tlt"));
    cMotor back;
    back.ReadFromFile(Path("m.tlt"));
    ASSERT_EQ(back.GrainCount(), 3);
    EXPECT_EQ(back.Grain(1)->Length(), 1.5f);
    EXPECT_EQ(back.Grain(2)->GrainType(), 7);
    EXPECT_EQ(back.Grain(2)->Length(), -1.0f);
    EXPECT_EQ(back.Grain(2)->CoreDiameter(), 3e38f);
    EXPECT_EQ(back.Grain(3)->Length(), 3.141593f);
    EXPECT_EQ(back.NozzleDia(), 0.43f);
}

struct OddFile {
    const char* name;
    const char* text;
    int grains;
    float nozzle;
    float isp;  // 1 when the motor keeps its previous data
};

TEST_F(MotorFileTest, OddButReadableFiles) {
    const OddFile files[] = {
        {"labels ignored", "X\r\nThroat:0.4\r\nGrain:1,3.5,2,1\r\nP\r\nA:5\r\nB:6\r\nC:7\r\nD:8\r\n",
         1, 0.4f, 5},
        {"plain LF", "Name:\nNozzleDia:0.5\nGrain:1,3.5,2,1\nPropellant Data\nISP*:9\nD:1\nA:1\nN:1\n",
         1, 0.5f, 9},
        {"lower-case grain ends the list",
         "N:\r\nD:0.5\r\ngrain:1,3.5,2,1\r\nISP*:11\r\nD:1\r\nA:1\r\nN:1\r\n", 0, 0.5f, 11},
        {"five values", "N:\r\nD:0.5\r\nGrain:1,3.5,2,1,9\r\nP\r\nI:12\r\nD:1\r\nA:1\r\nN:1\r\n", 1,
         0.5f, 12},
        {"ends after the last grain", "N:\r\nD:0.5\r\nGrain:1,3.5,2,1\r\nGrain:1,3.5,2,1", 2, 0.5f,
         1},
        {"ends right after the line that ended the list",
         "N:\r\nD:0.5\r\nGrain:1,3.5,2,1\r\nPropellant Data\r\n", 1, 0.5f, 1},
        {"spaces around numbers and exponent form",
         "N:\r\nD: 5E-01 \r\nGrain: 1 , 3.5 ,2 , 1 \r\nP\r\nI:+9.0e+2\r\nD:1\r\nA:1\r\nN:1\r\ntrailing",
         1, 0.5f, 900},
        {"fractional type rounds half to even",
         "N:\r\nD:0.5\r\nGrain:2.5,3.5,2,1\r\nP\r\nI:1\r\nD:1\r\nA:1\r\nN:1\r\n", 1, 0.5f, 1},
        {"second colon ends the value", "N:\r\nD:0.5:junk\r\nP\r\nI:3:x\r\nD:1\r\nA:1\r\nN:1\r\n", 0,
         0.5f, 3},
    };
    for (const auto& f : files) {
        cMotor motor = Previous();
        motor.ReadFromFile(Write("odd.tlt", f.text));
        EXPECT_EQ(motor.GrainCount(), f.grains) << f.name;
        EXPECT_EQ(motor.NozzleDia(), f.nozzle) << f.name;
        EXPECT_EQ(motor.ISPStar(), f.isp) << f.name;
        if (motor.GrainCount() > 0) {
            EXPECT_EQ(motor.Grain(1)->CoreDiameter(), 1.0f) << f.name;
        }
    }
    cMotor typed;
    typed.ReadFromFile(Write("t.tlt", files[7].text));
    EXPECT_EQ(typed.Grain(1)->GrainType(), 2);
}

struct BrokenFile {
    const char* name;
    const char* text;
    int number;
    const char* description;
};

TEST_F(MotorFileTest, BrokenFilesFailWithTheLineAndLeaveTheMotorAlone) {
    const BrokenFile files[] = {
        {"empty file", "", 62, "Input past end of file: line 1 is missing"},
        {"only a name", "Name:\r\n", 62, "Input past end of file: line 2 is missing"},
        {"bad grain value", "Name:\r\nNozzleDia:0.5\r\nGrain:1,3.5,2,1\r\nGrain:1,abc,2,1\r\n", 13,
         "Type mismatch: line 4 (\"Grain:1,abc,2,1\")"},
        {"three values", "N:\r\nD:0.5\r\nGrain:1,3.5,2\r\n", 13,
         "Type mismatch: line 3 (\"Grain:1,3.5,2\")"},
        {"blank line in the grain list",
         "N:\r\nD:0.5\r\nGrain:1,3.5,2,1\r\n\r\nPropellant Data\r\nI:1\r\nD:1\r\nA:1\r\n",
         13,
         "Type mismatch: line 4 (\"\") ends the grain list, so line 5 (\"Propellant Data\") was read as "
         "a propellant value"},
        {"mistyped grain line", "N:\r\nD:0.5\r\ngrain:1,3.5,2,1\r\nPropellant Data\r\nI:1\r\nD:1\r\nA:1\r\n",
         13,
         "Type mismatch: line 3 (\"grain:1,3.5,2,1\") ends the grain list, so line 4 (\"Propellant "
         "Data\") was read as a propellant value"},
        {"short propellant section", "N:\r\nD:0.5\r\nP\r\nI:1\r\nD:1\r\n", 62,
         "Input past end of file: line 6 is missing"},
        {"nozzle without a value", "N:\r\nNozzleDia\r\n", 13, "Type mismatch: line 2 (\"NozzleDia\")"},
        {"float overflow", "N:\r\nD:0.5\r\nGrain:1,1e39,2,1\r\n", 6,
         "Overflow: line 3 (\"Grain:1,1e39,2,1\")"},
        {"type overflow", "N:\r\nD:0.5\r\nGrain:32767.5,1,2,1\r\n", 6,
         "Overflow: line 3 (\"Grain:32767.5,1,2,1\")"},
        {"throat area overflow", "N:\r\nD:1e30\r\n", 6, "Overflow: line 2 (\"D:1e30\")"},
        {"decimal comma", "N:\r\nD:0,5\r\n", 13, "Type mismatch: line 2 (\"D:0,5\")"},
    };
    for (const auto& f : files) {
        cMotor motor = Previous();
        try {
            motor.ReadFromFile(Write("bad.tlt", f.text));
            ADD_FAILURE() << f.name;
        } catch (const RunTimeError& e) {
            EXPECT_EQ(e.Number(), f.number) << f.name;
            EXPECT_EQ(e.Description(), f.description) << f.name;
        }
        ExpectUnchanged(motor);
    }
}

// The performance lines come after the propellant lines, each only when the
// design has it, and read back as written, in any order; other lines there
// are ignored as they always were.
TEST_F(MotorFileTest, PerformanceLinesRoundTripInAnyOrder) {
    const std::string with_lines = std::string(kExample) +
                                   "Units:mm\r\nPropellantName:KNSB, Nakka\r\nBurnRate:101000,807000,1.2E-05,0.625\r\n"
                                   "BurnRate:807000,1503000,0.5,-0.314\r\nSpecificHeatRatio:1.042\r\nNozzleExitDia:1.2\r\n"
                                   "NozzleEfficiency:0.85\r\nAmbientPressure:0\r\n";
    cMotor motor;
    motor.ReadFromFile(Write("full.tlt", with_lines));
    const PerformanceInputs& in = motor.Performance();
    EXPECT_EQ(in.units, LengthUnit::kMillimetre);
    EXPECT_EQ(in.propellant_name, "KNSB, Nakka");
    ASSERT_EQ(in.burn_rate.size(), 2u);
    EXPECT_EQ(in.burn_rate[0], (BurnRatePiece{101000.0f, 807000.0f, 1.2e-05f, 0.625f}));
    EXPECT_EQ(in.burn_rate[1].n, -0.314f);
    EXPECT_EQ(in.specific_heat_ratio, 1.042f);
    EXPECT_EQ(in.nozzle_exit_dia, 1.2f);
    EXPECT_EQ(in.nozzle_efficiency, 0.85f);
    EXPECT_EQ(in.ambient_pressure, 0.0f);
    EXPECT_EQ(MotorFileText(motor), with_lines);

    // Any order, unknown lines and lines without a key ignored; a design with
    // only some of the lines writes only those.
    cMotor shuffled;
    shuffled.ReadFromFile(Write("shuffled.tlt", std::string(kExample) + "Comment:made by hand\r\nSpecificHeatRatio:1.2\r\n"
                                                                       "just text\r\nUnits:in\r\n"));
    EXPECT_EQ(shuffled.Performance().units, LengthUnit::kInch);
    EXPECT_EQ(shuffled.Performance().specific_heat_ratio, 1.2f);
    EXPECT_FALSE(shuffled.Performance().nozzle_exit_dia);
    EXPECT_EQ(MotorFileText(shuffled), std::string(kExample) + "Units:in\r\nSpecificHeatRatio:1.2\r\n");

    // Values the seven digits of the older lines would round come back
    // exactly: SI coefficients, converted pressures.
    PerformanceInputs awkward;
    awkward.units = LengthUnit::kMillimetre;
    awkward.burn_rate = {{101325.0f * 1.0000001f, 807000.0f / 3.0f, 1.9048781e-06f, 0.625f}};
    awkward.specific_heat_ratio = 1.0f + 1.0f / 3.0f;
    awkward.ambient_pressure = 101325.0f / 7.0f;
    motor.SetPerformance(awkward);
    cMotor reread;
    reread.ReadFromFile(Write("awkward.tlt", MotorFileText(motor)));
    EXPECT_EQ(reread.Performance(), awkward);

    // A file of the seven-line form has none, and reading one replaces what
    // the motor had.
    motor.ReadFromFile(Write("old.tlt", kExample));
    EXPECT_EQ(motor.Performance(), PerformanceInputs());
    EXPECT_EQ(MotorFileText(motor), kExample);
}

// A known key whose value is malformed fails the read with its line, like
// every other line, and leaves the motor as it was.
TEST_F(MotorFileTest, MalformedPerformanceLinesFailWithTheirLine) {
    const struct {
        const char* line;
        const char* message;
    } cases[] = {
        {"Units:cm", "Type mismatch: Units must be in or mm: line 10 (\"Units:cm\")"},
        {"BurnRate:1,2,3", "Type mismatch: line 10 (\"BurnRate:1,2,3\")"},
        {"BurnRate:1,2,3,4,5", "Type mismatch: BurnRate takes four values (Pmin,Pmax,a,n): line 10 (\"BurnRate:1,2,3,4,5\")"},
        {"SpecificHeatRatio:abc", "Type mismatch: line 10 (\"SpecificHeatRatio:abc\")"},
        {"NozzleExitDia:", "Type mismatch: line 10 (\"NozzleExitDia:\")"},
        {"AmbientPressure:1e39", "Overflow: line 10 (\"AmbientPressure:1e39\")"},
    };
    for (const auto& c : cases) {
        cMotor motor = Previous();
        try {
            motor.ReadFromFile(Write("bad.tlt", std::string(kExample) + c.line + "\r\n"));
            ADD_FAILURE() << c.line;
        } catch (const RunTimeError& e) {
            EXPECT_EQ(e.Description(), c.message);
        }
        ExpectUnchanged(motor);
    }
}

// With a unit the four propellant values are SI and kept exactly (a library
// entry still matches itself after Save and Open); without one they keep
// the seven digits of the specified form. The motor's hardware lines come
// back too.
TEST_F(MotorFileTest, PropellantOfADesignWithAUnitIsKeptExactly) {
    cMotor motor;
    motor.SetNozzleDia(9.0f);
    motor.AddGrain(MakeGrain(57, 38, 14));
    motor.SetISPStar(std::nextafter(909.0f, 1000.0f));  // seven digits read back as another float
    motor.SetDensity(1841.0f);
    motor.SetBallisticA(static_cast<float>(3.517054143255937e-05));
    motor.SetBallisticN(0.3273f);
    PerformanceInputs in;
    in.units = LengthUnit::kMillimetre;
    in.case_diameter = 41.275f;
    in.case_length = 1.0f / 3.0f;
    in.hardware_mass = 0.35f;
    motor.SetPerformance(in);
    const std::string text = MotorFileText(motor);
    EXPECT_NE(text.find("\r\nISP*:909.00006\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\nCaseDiameter:41.275\r\nCaseLength:0.33333334\r\nHardwareMass:0.35\r\n"), std::string::npos);
    cMotor reread;
    reread.ReadFromFile(Write("exact.tlt", text));
    EXPECT_EQ(reread.ISPStar(), motor.ISPStar());
    EXPECT_EQ(reread.BallisticA(), motor.BallisticA());
    EXPECT_EQ(reread.Performance(), in);
    EXPECT_EQ(MotorFileText(reread), text);

    motor.SetPerformance({});  // no unit: the seven digits, as ever
    EXPECT_NE(MotorFileText(motor).find("\r\nISP*:909.0001\r\n"), std::string::npos);
}

// A value that is not a number (an exit of 1e39 that became infinity) is
// never written: the save fails naming it and the old file stays. More
// burn-rate pieces than a law holds fail the read at the line past them.
TEST_F(MotorFileTest, NonFiniteValuesAndTooManyPiecesAreRefused) {
    const std::string path = Write("kept.tlt", kExample);
    cMotor motor;
    motor.ReadFromFile(path);
    PerformanceInputs in;
    in.units = LengthUnit::kMillimetre;
    in.nozzle_exit_dia = std::numeric_limits<float>::infinity();
    motor.SetPerformance(in);
    try {
        motor.SaveToFile(path);
        ADD_FAILURE() << "an infinite exit was written";
    } catch (const RunTimeError& e) {
        EXPECT_EQ(e.Number(), err::kOverflow);
        EXPECT_EQ(e.Description(), "Overflow: the nozzle exit is not a finite number");
    }
    EXPECT_EQ(Slurp(path), kExample);
    in.nozzle_exit_dia.reset();
    motor.SetPerformance(in);
    motor.SetISPStar(std::numeric_limits<float>::quiet_NaN());
    EXPECT_THROW(MotorFileText(motor), RunTimeError);

    std::string pieces = std::string(kExample) + "Units:mm\r\n";
    for (int i = 0; i < 65; ++i) pieces += "BurnRate:" + std::to_string(i * 100000) + "," + std::to_string((i + 1) * 100000) + ",1E-05,0.3\r\n";
    cMotor full = Previous();
    try {
        full.ReadFromFile(Write("pieces.tlt", pieces));
        ADD_FAILURE() << "65 pieces read";
    } catch (const RunTimeError& e) {
        EXPECT_EQ(e.Description().rfind("Overflow: a burn-rate law holds at most 64 BurnRate lines: line 75 (", 0), 0u)
            << e.Description();
    }
    ExpectUnchanged(full);
}

// A design's firings travel with it: written relative to the motor file,
// read back whole, with their units and pressure reference; a log that is
// not there is no error (the window reports it).
TEST_F(MotorFileTest, StaticFiringsTravelWithTheDesign) {
    cMotor motor;
    motor.AddGrain(MakeGrain(57, 38, 14));
    PerformanceInputs in;
    in.units = LengthUnit::kMillimetre;
    // Paths as the file dialogs give them: "/" between the parts.
    in.static_firings = {{(fs::absolute(dir_) / "logs" / "run1.csv").generic_string(), "time=ms,pressure=psi", true},
                         {(fs::absolute(dir_) / "run2.csv").generic_string(), "", false},
                         // Linux allows "|" in a name: it survives Save and Open.
                         {(fs::absolute(dir_) / "a|b.csv").generic_string(), "", false}};
    motor.SetPerformance(in);
    const std::string path = Path("fired.tlt");
    motor.SaveToFile(path);
    const std::string text = Slurp(path);
    EXPECT_NE(text.find("\r\nStaticFiring:logs/run1.csv|time=ms,pressure=psi|absolute\r\nStaticFiring:run2.csv\r\n"
                        "StaticFiring:a|b.csv||gauge\r\n"),
              std::string::npos) << text;
    cMotor reread;
    reread.ReadFromFile(path);
    EXPECT_EQ(reread.Performance().static_firings, in.static_firings);  // whole paths again
    EXPECT_THROW(ParseMotorFile(std::string(kExample) + "StaticFiring:\r\n"), RunTimeError);
}

TEST_F(MotorFileTest, LongLinesAreShortenedInTheMessageOnly) {
    std::string long_line = "Grain:1," + std::string(40000, ' ') + "4,2,1";
    cMotor motor;
    motor.ReadFromFile(Write("long.tlt", "N:\r\nD:0.5\r\n" + long_line + "\r\n"));
    EXPECT_EQ(motor.Grain(1)->Length(), 4.0f);
    std::string bad = "Grain:1,x" + std::string(40000, ' ') + ",2,1";
    try {
        motor.ReadFromFile(Write("long2.tlt", "N:\r\nD:0.5\r\n" + bad + "\r\n"));
        ADD_FAILURE();
    } catch (const RunTimeError& e) {
        EXPECT_LT(e.Description().size(), 150u);
        EXPECT_NE(e.Description().find("line 3"), std::string::npos);
    }
}

TEST_F(MotorFileTest, MissingFileAndBlankPath) {
    cMotor motor = Previous();
    try {
        motor.ReadFromFile(Path("nope.tlt"));
        ADD_FAILURE();
    } catch (const RunTimeError& e) {
        EXPECT_EQ(e.Number(), 53);
    }
    for (const char* blank : {"", "   ", " \t "}) {
        try {
            motor.ReadFromFile(blank);
            ADD_FAILURE() << '"' << blank << '"';
        } catch (const RunTimeError& e) {
            EXPECT_EQ(e.Number(), 53);
        }
    }
    ExpectUnchanged(motor);
    EXPECT_THROW(motor.ReadFromFile(dir_.string()), RunTimeError);
    ExpectUnchanged(motor);
}

TEST_F(MotorFileTest, TooManyGrainLinesFailCleanly) {
    std::string text = "N:\r\nD:0.5\r\n";
    for (int i = 0; i < 32768; ++i) text += "Grain:1,4,2,1\r\n";
    cMotor motor = Previous();
    try {
        motor.ReadFromFile(Write("many.tlt", text));
        ADD_FAILURE();
    } catch (const RunTimeError& e) {
        EXPECT_EQ(e.Number(), 6);
        EXPECT_NE(e.Description().find("line 32770"), std::string::npos);
    }
    ExpectUnchanged(motor);
}

// The largest motor a file holds also saves: grain positions past 32766
// must not wrap a 16-bit counter on the way out.
TEST_F(MotorFileTest, LargestMotorReadsAndSavesBack) {
    std::string text = "Name:\r\nNozzleDia:0.5\r\n";
    for (int i = 0; i < 32767; ++i) text += "Grain:1,4,2,1\r\n";
    text += "Propellant Data\r\nISP*:0\r\nDensity:0\r\nBallisticA:0\r\nBallisticN:0\r\n";
    cMotor motor;
    motor.ReadFromFile(Write("largest.tlt", text));
    ASSERT_EQ(motor.GrainCount(), 32767);
    motor.SaveToFile(Path("largest_out.tlt"));
    EXPECT_EQ(MotorFileText(motor), text);
}

TEST_F(MotorFileTest, SaveIntoMissingFolderFails) {
    try {
        Previous().SaveToFile(Path("no/such/folder/m.tlt"));
        ADD_FAILURE();
    } catch (const RunTimeError& e) {
        EXPECT_EQ(e.Number(), 76);
    }
    EXPECT_THROW(Previous().SaveToFile(dir_.string()), RunTimeError);  // a folder
}

TEST_F(MotorFileTest, WriteFailingPartWayKeepsTheOldFile) {
    const std::string path = Write("m.tlt", kExample);
    const std::string text = MotorFileText(Previous());
    for (std::size_t fail_after : {std::size_t{0}, std::size_t{10}, text.size() - 1}) {
        try {
            WriteFileAtomically(path, text, {fail_after});
            ADD_FAILURE() << fail_after;
        } catch (const RunTimeError& e) {
            EXPECT_EQ(e.Number(), 57);
        }
        EXPECT_EQ(Slurp(path), kExample);
        EXPECT_EQ(FilesInDir(), 1u) << "temporary file left behind";
    }
    WriteFileAtomically(path, text, {text.size()});  // the last byte goes out: success
    EXPECT_EQ(Slurp(path), text);
    EXPECT_EQ(FilesInDir(), 1u);
}

TEST_F(MotorFileTest, ReplacedFileKeepsItsPermissions) {
#ifdef _WIN32
    GTEST_SKIP() << "POSIX permission bits";
#endif
    const std::string path = Write("m.tlt", kExample);
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    Previous().SaveToFile(path);
    EXPECT_EQ(fs::status(path).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    cMotor back;
    back.ReadFromFile(path);
    ExpectUnchanged(back);
}

TEST_F(MotorFileTest, SaveThroughALinkReplacesTheLinkedFile) {
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need extra rights on Windows";
#endif
    const std::string real = Write("real.tlt", kExample);
    fs::create_symlink(real, Path("link.tlt"));
    Previous().SaveToFile(Path("link.tlt"));
    EXPECT_TRUE(fs::is_symlink(Path("link.tlt")));
    EXPECT_EQ(Slurp(real), MotorFileText(Previous()));
}

TEST_F(MotorFileTest, SaveThroughADanglingLinkCreatesItsTarget) {
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need extra rights on Windows";
#endif
    fs::create_directory(Path("sub"));
    fs::create_symlink("sub/new.tlt", Path("dangling.tlt"));
    Previous().SaveToFile(Path("dangling.tlt"));
    EXPECT_TRUE(fs::is_symlink(Path("dangling.tlt")));
    EXPECT_EQ(Slurp(Path("sub/new.tlt")), MotorFileText(Previous()));
}

#ifndef _WIN32
// Anything but a regular file is refused at once, reading and saving: no
// hang on a FIFO without a writer, no endless read of a device.
TEST_F(MotorFileTest, NonRegularFilesAreRefusedWithoutBlocking) {
    ASSERT_EQ(::mkfifo(Path("fifo.tlt").c_str(), 0600), 0);
    for (const std::string& path : {Path("fifo.tlt"), std::string("/dev/zero"), std::string("/dev/null")}) {
        cMotor motor = Previous();
        try {
            motor.ReadFromFile(path);
            ADD_FAILURE() << path;
        } catch (const RunTimeError& e) {
            EXPECT_EQ(e.Number(), 75) << path;
            EXPECT_NE(e.Description().find("is not a regular file"), std::string::npos) << e.Description();
        }
        ExpectUnchanged(motor);
    }
    try {
        Previous().SaveToFile(Path("fifo.tlt"));
        ADD_FAILURE();
    } catch (const RunTimeError& e) {
        EXPECT_EQ(e.Number(), 75);
    }
    EXPECT_TRUE(fs::is_fifo(Path("fifo.tlt")));
}

TEST_F(MotorFileTest, OversizedFilesAreRefusedBeforeReading) {
    const std::string path = Path("huge.tlt");
    { std::ofstream create(path); }
    fs::resize_file(path, kMaxMotorFileBytes + 1);  // sparse: no disk is used
    cMotor motor = Previous();
    try {
        motor.ReadFromFile(path);
        ADD_FAILURE();
    } catch (const RunTimeError& e) {
        EXPECT_EQ(e.Number(), 7);
        EXPECT_EQ(e.Description().rfind("Out of memory", 0), 0u);
    }
    ExpectUnchanged(motor);
}
#endif

TEST_F(MotorFileTest, ReadOnlyTargetIsNotReplaced) {
    const std::string path = Write("ro.tlt", kExample);
    fs::permissions(path, fs::perms::owner_read);
    std::ofstream probe(path, std::ios::app);
    if (probe) GTEST_SKIP() << "running with rights that ignore read-only files";
    EXPECT_THROW(Previous().SaveToFile(path), RunTimeError);
    EXPECT_EQ(Slurp(path), kExample);
    EXPECT_EQ(FilesInDir(), 1u);
}

}  // namespace
}  // namespace thrustlet
