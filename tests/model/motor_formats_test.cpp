// Other programs' motor files: openMotor's .ric and BurnSim's .bsx read from
// files written by hand from each format's published layout, the motors
// they refuse, the files written for them, and round trips that keep every
// figure.
#include <gtest/gtest.h>

#include <cstdio>

#include <cfloat>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "model/motor_run.h"
#include "model/errors.h"
#include "model/formats/bsx_file.h"
#include "model/formats/meteor_file.h"
#include "model/formats/motor_formats.h"
#include "model/formats/ric_file.h"
#include "model/motor.h"
#include "model/formats/motor_file.h"
#include "model/performance.h"
#include "model/propellant_library.h"
#include "tests/support/grains.h"
#include "tests/support/knsb_motor.h"

#ifndef THRUSTLET_TEST_DATA_DIR
#error "THRUSTLET_TEST_DATA_DIR must name the tests' data folder"
#endif

namespace thrustlet {
namespace {

namespace fs = std::filesystem;
using testing::MakeGrain;

std::string DataPath(const std::string& name) { return std::string(THRUSTLET_TEST_DATA_DIR) + "/" + name; }

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// c* as the textbook gives it from T, M and k, written out apart from the
// program's own.
double TextbookCStar(double t, double m, double k) {
    const double gas = 8314.462618 / m;
    return std::sqrt(k * gas * t) / (k * std::sqrt(std::pow(2.0 / (k + 1.0), (k + 1.0) / (k - 1.0))));
}

// The initial Kn of BATES grains (every face burning) over a throat.
double InitialKn(const cMotor& motor) {
    double area = 0.0;
    for (const auto& g : motor.Grains()) {
        const double d = g->Diameter(), c = g->CoreDiameter(), l = g->Length();
        area += kPi * c * l + 2.0 * kPi / 4.0 * (d * d - c * c);
    }
    return area / (kPi / 4.0 * motor.NozzleDia() * motor.NozzleDia());
}

std::string Problem(const std::function<void()>& read) {
    try {
        read();
    } catch (const RunTimeError& error) {
        EXPECT_EQ(error.Number(), err::kInvalidFileFormat) << error.Description();
        return error.Description();
    }
    return "read";
}

// `text` with the nth (1-based) occurrence of `from` replaced by `to`.
std::string Edited(std::string text, const std::string& from, const std::string& to, int nth = 1) {
    std::size_t at = 0;
    for (int i = 0; i < nth; ++i) at = text.find(from, i == 0 ? 0 : at + 1);
    return text.replace(at, from.size(), to);
}

bool Mentions(const std::vector<std::string>& notes, const std::string& part) {
    for (const std::string& note : notes) {
        if (note.find(part) != std::string::npos) return true;
    }
    return false;
}

class MotorFormatsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("thrustlet_formats_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                            "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    fs::path dir_;
};

// A design of openMotor 0.5 (block style): the grains in millimetres, each
// tab a piece, c* from the first tab, the limits it sets, and what it holds
// that the design cannot, named.
TEST_F(MotorFormatsTest, ReadsAnOpenMotorDesign) {
    const ImportedMotor imported = ReadRic(Slurp(DataPath("two_tab_54mm.ric")));
    const cMotor& motor = imported.motor;
    const PerformanceInputs& in = motor.Performance();
    ASSERT_EQ(in.units, LengthUnit::kMillimetre);
    ASSERT_EQ(motor.GrainCount(), 4);
    const float expected[4][3] = {{100, 50.8f, 20}, {100, 50.8f, 20}, {100, 50.8f, 22}, {95, 50.8f, 24}};
    for (int i = 0; i < 4; ++i) {
        const auto& grain = motor.Grains()[static_cast<size_t>(i)];
        EXPECT_EQ(grain->GrainType(), cGrain::kBates);
        EXPECT_EQ(grain->Length(), expected[i][0]) << i;
        EXPECT_EQ(grain->Diameter(), expected[i][1]) << i;
        EXPECT_EQ(grain->CoreDiameter(), expected[i][2]) << i;
    }
    EXPECT_EQ(motor.NozzleDia(), 14.5f);
    EXPECT_EQ(in.nozzle_exit_dia, 34.0f);
    EXPECT_EQ(in.nozzle_efficiency, 0.9f);
    EXPECT_EQ(in.propellant_name, "Test KNDX");
    EXPECT_EQ(motor.Density(), 1780.0f);
    EXPECT_EQ(in.specific_heat_ratio, 1.131f);
    EXPECT_EQ(in.molar_mass, 42.39f);
    EXPECT_FLOAT_EQ(motor.ISPStar(), static_cast<float>(TextbookCStar(1625, 42.39, 1.131)));
    const std::vector<BurnRatePiece> pieces = {{103000, 779000, 8.875e-05f, 0.619f},
                                               {779000, 2570000, 0.00513f, -0.009f},
                                               {2570000, 1e7f, 1.1e-05f, 0.4f}};
    EXPECT_EQ(in.burn_rate, pieces);
    EXPECT_EQ(in.max_pressure, 6e6f);
    EXPECT_EQ(in.max_mass_flux, 1100.0f);
    EXPECT_EQ(in.min_port_throat, 1.8f);
    EXPECT_FALSE(in.ambient_pressure.has_value());  // openMotor's default, and the design's
    EXPECT_NEAR(cMotor(motor).KN(0.0f), InitialKn(motor), 1e-3 * InitialKn(motor));
    ASSERT_TRUE(ComputePerformance(motor).figures.has_value());
    // The nozzle's shape and openMotor's burnout thresholds come along.
    EXPECT_EQ(in.nozzle_divergence, 12.0f);
    EXPECT_EQ(in.nozzle_convergence, 45.0f);
    EXPECT_EQ(in.nozzle_throat_length, 3.0f);  // mm
    EXPECT_EQ(in.nozzle_erosion, 0.0f);
    EXPECT_EQ(in.nozzle_slag, 0.0f);
    EXPECT_EQ(in.web_burnout, 0.0254f);
    EXPECT_EQ(in.thrust_burnout, 0.1f);
    ASSERT_EQ(imported.not_carried.size(), 1u);
    EXPECT_EQ(imported.not_carried[0],
              "openMotor's simulation settings (flow separation warning, grain map size, flow separation pressure "
              "ratio and time step) are not carried: Thrustlet's model needs none of them.");
}

// Before openMotor 0.4 the propellant was one law, its leaves in flow
// style; lengths that are round inches give an inch design, and settings
// at openMotor's defaults are the design's own defaults.
TEST_F(MotorFormatsTest, ReadsAnOldOpenMotorDesignInInches) {
    const ImportedMotor imported = ReadRic(Slurp(DataPath("old_single_law.ric")));
    const cMotor& motor = imported.motor;
    const PerformanceInputs& in = motor.Performance();
    ASSERT_EQ(in.units, LengthUnit::kInch);
    ASSERT_EQ(motor.GrainCount(), 2);
    EXPECT_EQ(motor.Grains()[0]->Diameter(), 1.625f);
    EXPECT_EQ(motor.Grains()[0]->Length(), 4.0f);
    EXPECT_EQ(motor.Grains()[1]->CoreDiameter(), 0.75f);
    EXPECT_EQ(motor.NozzleDia(), 0.375f);
    EXPECT_EQ(in.nozzle_exit_dia, 1.0f);
    // openMotor's own migration gives the old law the range 0 to 1.0342e7 Pa.
    const std::vector<BurnRatePiece> pieces = {{0, 1.0342e7f, 3.517054143255937e-05f, 0.3273f}};
    EXPECT_EQ(in.burn_rate, pieces);
    EXPECT_FLOAT_EQ(motor.ISPStar(), static_cast<float>(TextbookCStar(3500, 23.67, 1.21)));
    EXPECT_FALSE(in.molar_mass.has_value());
    EXPECT_FALSE(in.max_pressure || in.max_mass_flux || in.min_port_throat || in.ambient_pressure);
    EXPECT_TRUE(Mentions(imported.not_carried, "ignition pressure"));
}

// A BurnSim design: inches, the nozzle's efficiency in %, the law in in/s
// at psi^n, c* from ISPStar; the motor's own fields and the notes named.
TEST_F(MotorFormatsTest, ReadsABurnSimDesign) {
    const ImportedMotor imported = ReadBsx(Slurp(DataPath("inch_bates.bsx")));
    const cMotor& motor = imported.motor;
    const PerformanceInputs& in = motor.Performance();
    ASSERT_EQ(in.units, LengthUnit::kInch);
    ASSERT_EQ(motor.GrainCount(), 2);
    EXPECT_EQ(motor.Grains()[1]->CoreDiameter(), 0.5625f);
    EXPECT_EQ(motor.Grains()[0]->Length(), 2.5f);
    EXPECT_EQ(motor.NozzleDia(), 0.3125f);
    EXPECT_EQ(in.nozzle_exit_dia, 0.875f);
    EXPECT_EQ(in.nozzle_efficiency, 0.88f);
    EXPECT_FLOAT_EQ(*in.ambient_pressure, static_cast<float>(14.7 * 6894.757293168361));
    EXPECT_FLOAT_EQ(motor.ISPStar(), static_cast<float>(140 * 9.80665));
    EXPECT_FLOAT_EQ(motor.Density(), static_cast<float>(0.0585 * 0.45359237 / std::pow(0.0254, 3)));
    EXPECT_EQ(motor.BallisticN(), 0.35f);
    // 0.0306 in/s at 1 psi is the same rate in SI.
    EXPECT_NEAR(motor.BallisticA() * std::pow(6894.757293168361, 0.35), 0.0306 * 0.0254, 1e-9);
    EXPECT_TRUE(in.burn_rate.empty());
    EXPECT_EQ(in.molar_mass, 24.5f);
    EXPECT_EQ(in.propellant_name, "Test AP");
    EXPECT_TRUE(Mentions(imported.not_carried, "Name (Test 38mm), DiameterMM (38), Length (12) and Delays (6)"));
    EXPECT_TRUE(Mentions(imported.not_carried, "notes are not carried"));
}

// What a design cannot hold refuses the import with that said; what it
// merely does without is listed.
TEST_F(MotorFormatsTest, RefusalsNameWhatCannotComeAlong) {
    const std::string ric = Slurp(DataPath("two_tab_54mm.ric"));
    const auto edited = [&](const std::string& from, const std::string& to, int nth = 1) {
        return Edited(ric, from, to, nth);
    };
    std::string tabs_65 = "data:\n  grains: []\n  propellant:\n    density: 1800\n    name: x\n    tabs:\n";
    for (int i = 0; i < 65; ++i) tabs_65 += "    - {a: 1.0e-05, n: 0.3, k: 1.2, t: 1700, m: 40, minPressure: " + std::to_string(i) + ", maxPressure: " + std::to_string(i + 1) + "}\n";
    const struct {
        const char* name;
        std::string ric;
        std::string problem;
    } ric_cases[] = {
        {"another shape", edited("type: BATES", "type: Finocyl", 2),
         "Invalid file format: grain 2 is a Finocyl grain: only BATES grains come into Thrustlet, and the motor "
         "without it would be another motor"},
        {"unknown inhibited ends", edited("inhibitedEnds: Neither", "inhibitedEnds: Sideways", 3),
         "Invalid file format: grain 3's inhibited ends, \"Sideways\", are none of openMotor's (Neither, Top, Bottom, "
         "Both)"},
        {"a propellant library", edited("- 3", "- 2"),
         "Invalid file format: the openMotor file holds a propellant library, not a motor (Motor > Propellant takes one)"},
        {"a word for a number", edited("length: 0.095", "length: long"),
         "Invalid file format: grain 4's length is not a number: \"long\""},
        {"no motor", "type: !!python/object/apply:uilib.fileIO.fileTypes [3]\nversion: !!python/tuple [0, 5, 0]\n",
         "Invalid file format: the file is no openMotor motor: it holds no motor data"},
        {"broken YAML", "data:\n  grains: [\n", ""},
        {"too many tabs", tabs_65, "Invalid file format: the propellant has 65 tabs: a design holds at most 64 burn-rate pieces"},
        {"nested past reason", "data: " + std::string(5000, '[') + std::string(5000, ']') + "\n", ""},
    };
    for (const auto& c : ric_cases) {
        SCOPED_TRACE(c.name);
        const std::string problem = Problem([&] { ReadRic(c.ric); });
        if (c.problem.empty()) {
            EXPECT_EQ(problem.rfind("Invalid file format: ", 0), 0u) << problem;
        } else {
            EXPECT_EQ(problem, c.problem);
        }
    }
    // Tabs of other gases: the first kept, the others named.
    const ImportedMotor mixed = ReadRic(edited("k: 1.131", "k: 1.2", 3));
    EXPECT_EQ(mixed.motor.Performance().specific_heat_ratio, 1.131f);
    EXPECT_TRUE(Mentions(mixed.not_carried, "Tab 3's k, T or M differ from the first tab's"));

    const std::string bsx = Slurp(DataPath("inch_bates.bsx"));
    const auto bsx_edited = [&](const std::string& from, const std::string& to, int nth = 1) {
        return Edited(bsx, from, to, nth);
    };
    const struct {
        const char* name;
        std::string bsx;
        std::string problem;
    } bsx_cases[] = {
        {"a star", bsx_edited("Type=\"1\"", "Type=\"4\"", 2),
         "Invalid file format: grain 2 is a star grain: only BATES grains come into Thrustlet, and the motor without "
         "it would be another motor"},
        {"three inhibited ends", bsx_edited("EndsInhibited=\"0\"", "EndsInhibited=\"3\""),
         "Invalid file format: grain 1's EndsInhibited, \"3\", is not 0, 1 or 2"},
        {"two propellants", bsx_edited("BallisticN=\"0.35\"", "BallisticN=\"0.4\"", 2),
         "Invalid file format: grain 2 is of another propellant (Test AP) than grain 1 (Test AP): a design holds one "
         "propellant, and the motor in one would be another motor"},
        {"not XML", "<Motor><Nozzle ThroatDia=\"0.3\"></Motor>", ""},
        {"another root", "<Engine/>", "Invalid file format: the file is no BurnSim motor: it holds no Motor"},
        {"a word for a number", bsx_edited("Length=\"2.5\"", "Length=\"two\""),
         "Invalid file format: grain 1's Length is not a number: \"two\""},
    };
    for (const auto& c : bsx_cases) {
        SCOPED_TRACE(c.name);
        const std::string problem = Problem([&] { ReadBsx(c.bsx); });
        if (c.problem.empty()) {
            EXPECT_EQ(problem.rfind("Invalid file format: the BurnSim file is not well-formed XML (line 1: ", 0), 0u) << problem;
        } else {
            EXPECT_EQ(problem, c.problem);
        }
    }
}

// Shortest texts that every YAML reader takes for numbers (a decimal point,
// a signed exponent).
TEST(ForeignNumberTest, EveryReaderTakesThemForNumbers) {
    const std::pair<double, const char*> cases[] = {
        {1e-05, "1.0e-05"}, {0.057, "0.057"}, {2.0, "2.0"}, {101325.0, "101325.0"}, {1e20, "1.0e+20"},
        {-0.314, "-0.314"}, {2.54e-05, "2.54e-05"}, {0.0, "0.0"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(ForeignNumber(value), text) << value;
}

// The file openMotor reads: its tags, version 0.4.0 (whose migration needs
// the ignition pressure), uninhibited grains, and a combustion temperature
// that gives the design's c* back; a design without a unit or propellant
// says what the file lacks.
TEST_F(MotorFormatsTest, WritesWhatOpenMotorExpects) {
    cMotor motor;
    motor.ReadFromFile(std::string(THRUSTLET_EXAMPLES_DIR) + "/knsb_38mm.tlt");
    const ExportedText ric = RicText(motor);
    for (const char* line : {"\ntype: !!python/object/apply:uilib.fileIO.fileTypes [3]\n",
                             "\nversion: !!python/tuple [0, 4, 0]\n", "inhibitedEnds: Neither", "igniterPressure: ",
                             "name: \"KNSB\"", "throat: 0.0085\n", "    divAngle: 15.0\n"}) {
        EXPECT_NE(ric.text.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(ReadRic(ric.text).motor.ISPStar(), motor.ISPStar());
    EXPECT_TRUE(Mentions(ric.not_carried, "15\u00b0 divergence and 55\u00b0 convergence"));

    cMotor plain;
    plain.AddGrain(MakeGrain(3.5f, 2.0f, 0.8f));
    plain.SetNozzleDia(0.5f);
    const ExportedText bare = RicText(plain);
    EXPECT_NE(bare.text.find("propellant: ~"), std::string::npos) << bare.text;
    EXPECT_NE(bare.text.find("length: 0.0889\n"), std::string::npos);  // 3.5 in
    EXPECT_TRUE(Mentions(bare.not_carried, "names no unit: its lengths are written as inches"));
    EXPECT_TRUE(Mentions(bare.not_carried, "no propellant"));
    const ImportedMotor back = ReadRic(bare.text);
    EXPECT_EQ(back.motor.Grains()[0]->Length(), 3.5f);
    EXPECT_TRUE(Mentions(back.not_carried, "has no propellant"));
}

// A design written for either program and read back has the same figures;
// BurnSim's one law is the piece the peak pressure runs by.
TEST_F(MotorFormatsTest, RoundTripsKeepTheFigures) {
    std::vector<cMotor> designs;
    for (const char* name : {"knsb_38mm.tlt", "single_grain_29mm.tlt", "three_grain_38mm.tlt", "six_grain_54mm.tlt"}) {
        designs.emplace_back();
        designs.back().ReadFromFile(std::string(THRUSTLET_EXAMPLES_DIR) + "/" + name);
    }
    cMotor limited = designs[0].DetachedCopy();
    PerformanceInputs in = limited.Performance();
    in.max_pressure = 5e6f;
    in.min_port_throat = 1.5f;
    in.ambient_pressure = 85000.0f;
    limited.SetPerformance(in);
    designs.push_back(limited);
    for (const cMotor& design : designs) {
        const bool pieces = design.Performance().burn_rate.size() > 1;
        for (MotorFormat format : {MotorFormat::kOpenMotor, MotorFormat::kBurnSim}) {
            SCOPED_TRACE(std::string(ProgramOf(format)) + " " + MotorFileText(design));
            const std::string path = Path(format == MotorFormat::kOpenMotor ? "m.ric" : "m.bsx");
            SaveMotorIn(design, path);
            cMotor back;
            const ReadOutcome outcome = ReadAnyMotorFile(path, back);
            ASSERT_EQ(outcome.format, format);
            EXPECT_EQ(back.Performance().units, design.Performance().units);
            ASSERT_EQ(back.GrainCount(), design.GrainCount());
            EXPECT_EQ(back.NozzleDia(), design.NozzleDia());
            EXPECT_EQ(cMotor(back).KNMax(), cMotor(design).KNMax());
            if (format == MotorFormat::kOpenMotor) {
                EXPECT_EQ(back.Performance().max_pressure, design.Performance().max_pressure);
                EXPECT_EQ(back.Performance().min_port_throat, design.Performance().min_port_throat);
            }
            if (format == MotorFormat::kBurnSim && pieces) continue;  // one law only: checked below
            // openMotor's file gives its usual nozzle angles and burnout
            // thresholds where the design has none, and they come back.
            cMotor expected = design.DetachedCopy();
            if (format == MotorFormat::kOpenMotor) {
                PerformanceInputs usual = expected.Performance();
                usual.nozzle_divergence = 15.0f;
                usual.nozzle_convergence = 55.0f;
                usual.nozzle_throat_length = 0.0f;
                usual.thrust_burnout = 0.1f;
                usual.web_burnout = usual.units == LengthUnit::kMillimetre ? 0.0254f : 0.001f;
                expected.SetPerformance(usual);
                EXPECT_EQ(back.Performance().nozzle_divergence, 15.0f);
                EXPECT_EQ(back.Performance().web_burnout, usual.web_burnout);
                // openMotor's design comes back figured by the full model,
                // as openMotor figures it; compared here by the design's own.
                EXPECT_EQ(back.Performance().Model(), BurnModel::kFull);
                PerformanceInputs same = back.Performance();
                same.model = design.Performance().model;
                back.SetPerformance(same);
            }
            const Performance a = *ComputePerformance(expected).figures, b = *ComputePerformance(back).figures;
            EXPECT_NEAR(b.total_impulse, a.total_impulse, 1e-5 * a.total_impulse);
            EXPECT_NEAR(b.peak_pressure, a.peak_pressure, 1e-5 * a.peak_pressure);
            EXPECT_NEAR(b.burn_time, a.burn_time, 1e-5 * a.burn_time);
            EXPECT_EQ(b.designation, a.designation);
        }
    }
    // KNSB's peak runs by its third piece, which the BurnSim file holds.
    const ExportedText bsx = BsxText(RunMotor(designs[0]));
    EXPECT_TRUE(Mentions(bsx.not_carried, "the file has piece 3 (the one the peak pressure runs by); pieces 1, 2, 4 and 5 are not carried"));
    const cMotor one = ReadBsx(bsx.text).motor;
    EXPECT_FLOAT_EQ(one.BallisticN(), designs[0].Performance().burn_rate[2].n);
}

// The format is the content's, whatever the name; writing follows the name.
TEST_F(MotorFormatsTest, FormatFoundByContent) {
    EXPECT_EQ(FormatOfText(Slurp(DataPath("two_tab_54mm.ric"))), MotorFormat::kOpenMotor);
    EXPECT_EQ(FormatOfText(Slurp(DataPath("old_single_law.ric"))), MotorFormat::kOpenMotor);
    EXPECT_EQ(FormatOfText("\xEF\xBB\xBF  \r\n<Motor/>"), MotorFormat::kBurnSim);
    EXPECT_EQ(FormatOfText(Slurp(std::string(THRUSTLET_EXAMPLES_DIR) + "/two_grain.tlt")), MotorFormat::kThrustlet);
    EXPECT_EQ(FormatOfText("Name:\r\ndata:\r\n"), MotorFormat::kThrustlet);  // its name line first
    EXPECT_EQ(FormatOfText("# a motor\ndata:\n  grains: []\n"), MotorFormat::kOpenMotor);
    EXPECT_EQ(FormatOfName("C:\\designs\\a.RIC"), MotorFormat::kOpenMotor);
    EXPECT_EQ(FormatOfName("/x.y/motor"), MotorFormat::kThrustlet);
    EXPECT_EQ(FormatOfName("m.Bsx"), MotorFormat::kBurnSim);

    const std::string disguised = Path("forum download.txt");
    fs::copy_file(DataPath("inch_bates.bsx"), disguised);
    cMotor motor;
    motor.AddGrain(MakeGrain(1, 1, 0.5f));
    EXPECT_EQ(ReadAnyMotorFile(disguised, motor).format, MotorFormat::kBurnSim);
    EXPECT_EQ(motor.GrainCount(), 2);
    // A failed read leaves the motor as it was.
    std::ofstream(Path("bad.ric"), std::ios::binary) << "data:\n  grains:\n  - type: Star\n    properties: {}\n";
    EXPECT_THROW(ReadAnyMotorFile(Path("bad.ric"), motor), RunTimeError);
    EXPECT_EQ(motor.GrainCount(), 2);
}

// Inhibited ends come along both ways: openMotor's Top, Bottom and Both
// are the forward, aft and both ends; BurnSim counts them (one is taken as
// the forward end, and an aft one written says so).
TEST(InhibitedEndsFormatsTest, ReadAndWrittenByBothPrograms) {
    const std::string ric = Slurp(DataPath("two_tab_54mm.ric"));
    const ImportedMotor imported = ReadRic(Edited(Edited(ric, "inhibitedEnds: Neither", "inhibitedEnds: Top", 1),
                                                  "inhibitedEnds: Neither", "inhibitedEnds: Both", 3));
    const auto& grains = imported.motor.Grains();
    ASSERT_GE(grains.size(), 4u);
    EXPECT_EQ(grains[0]->Inhibited(), cGrain::Ends::kForward);
    EXPECT_EQ(grains[1]->Inhibited(), cGrain::Ends::kNone);
    EXPECT_EQ(grains[3]->Inhibited(), cGrain::Ends::kBoth);
    cMotor motor = imported.motor;
    motor.Grain(2)->SetInhibited(cGrain::Ends::kAft);
    const ImportedMotor again = ReadRic(RicText(motor).text);
    for (std::size_t i = 0; i < grains.size(); ++i) {
        EXPECT_EQ(again.motor.Grains()[i]->Inhibited(), motor.Grains()[i]->Inhibited()) << i;
    }

    const ExportedText bsx = BsxText(RunMotor(motor));
    EXPECT_TRUE(Mentions(bsx.not_carried, "grain 2 with the aft end inhibited will open with the forward end inhibited"));
    const ImportedMotor from_bsx = ReadBsx(bsx.text);
    EXPECT_EQ(from_bsx.motor.Grains()[0]->Inhibited(), cGrain::Ends::kForward);
    EXPECT_EQ(from_bsx.motor.Grains()[1]->Inhibited(), cGrain::Ends::kForward);
    EXPECT_EQ(from_bsx.motor.Grains()[2]->Inhibited(), cGrain::Ends::kNone);
    EXPECT_EQ(from_bsx.motor.Grains()[3]->Inhibited(), cGrain::Ends::kBoth);
}

}  // namespace
}  // namespace thrustlet

namespace thrustlet {
namespace {

// openMotor's inch is 1/39.37 m: a motor typed there as 1.8 x 1.0 x 0.325 in
// opens as that inch design, not as 45.72009 mm.
TEST(OpenMotorInchTest, LengthsInOpenMotorsInches) {
    const auto metres = [](double inches) { return inches / 39.37; };
    std::string ric = "data:\n  config: {}\n  grains:\n";
    for (int i = 0; i < 2; ++i) {
        ric += "  - properties: {coreDiameter: " + std::to_string(metres(0.325)) + ", diameter: " + std::to_string(metres(1.0)) +
               ", inhibitedEnds: Neither, length: " + std::to_string(metres(1.8)) + "}\n    type: BATES\n";
    }
    ric += "  nozzle: {efficiency: 1.0, exit: " + std::to_string(metres(0.5)) + ", throat: " + std::to_string(metres(0.25)) +
           "}\n  propellant: null\n";
    // std::to_string keeps six decimals: write them exactly instead.
    char buffer[64];
    for (double inches : {0.325, 1.0, 1.8, 0.5, 0.25}) {
        std::snprintf(buffer, sizeof buffer, "%.17g", metres(inches));
        const std::string shortened = std::to_string(metres(inches));
        for (std::size_t at = ric.find(shortened); at != std::string::npos; at = ric.find(shortened, at + 1)) {
            ric.replace(at, shortened.size(), buffer);
        }
    }
    const ImportedMotor imported = ReadRic(ric);
    EXPECT_EQ(imported.motor.Performance().units, LengthUnit::kInch);
    ASSERT_EQ(imported.motor.GrainCount(), 2);
    EXPECT_EQ(imported.motor.Grains()[0]->Length(), 1.8f);
    EXPECT_EQ(imported.motor.Grains()[0]->Diameter(), 1.0f);
    EXPECT_EQ(imported.motor.Grains()[0]->CoreDiameter(), 0.325f);
    EXPECT_EQ(imported.motor.NozzleDia(), 0.25f);
    EXPECT_EQ(imported.motor.Performance().nozzle_exit_dia, 0.5f);
}

}  // namespace
}  // namespace thrustlet

namespace thrustlet {
namespace {

// Another program's file with a huge value or many unknown names: the note
// quotes a short excerpt of each and a bounded list, at once.
TEST(ForeignNotesTest, LongTextIsQuotedShort) {
    const std::string bsx = Slurp(DataPath("inch_bates.bsx"));
    std::string attributes;
    for (int i = 0; i < 40; ++i) attributes += " Extra" + std::to_string(i) + "=\"" + std::string(i == 0 ? 1 << 20 : 3, 'x') + "\"";
    const std::string edited = Edited(bsx, "<Motor", "<Motor" + attributes, 1);
    const ImportedMotor imported = ReadBsx(edited);
    std::size_t longest = 0;
    for (const std::string& note : imported.not_carried) longest = std::max(longest, note.size());
    EXPECT_LT(longest, 2000u);
    EXPECT_TRUE(Mentions(imported.not_carried, " more are not carried"));
    EXPECT_EQ(Listed({"a", "b", "c"}), "a, b and c");
    EXPECT_EQ(Excerpt(std::string(100, 'y')), std::string(60, 'y') + "\u2026");
}

}  // namespace
}  // namespace thrustlet

namespace thrustlet {
namespace {

// UTF-16 text (a Windows editor's "Unicode") is said to be what it is, with
// or without its byte-order mark, and the design is left as it was.
TEST(MotorFormatsUtf16Test, SaidToBeUtf16) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "thrustlet_utf16";
    std::filesystem::create_directories(dir);
    for (const std::string& text : {std::string("\xFF\xFEN\0a\0m\0e\0:\0", 12), std::string("N\0a\0m\0e\0:\0\r\0\n\0", 14)}) {
        const std::string path = (dir / "unicode.tlt").string();
        std::ofstream(path, std::ios::binary) << text;
        cMotor motor;
        motor.SetNozzleDia(0.5f);
        try {
            ReadAnyMotorFile(path, motor);
            ADD_FAILURE();
        } catch (const RunTimeError& error) {
            EXPECT_NE(error.Description().find("is UTF-16 text: save it as UTF-8"), std::string::npos) << error.Description();
        }
        EXPECT_EQ(motor.NozzleDia(), 0.5f);
    }
    std::filesystem::remove_all(dir);
}

// Lines ended by a carriage return alone (classic Mac OS, some exporters)
// read as the same lines in every format: the file is what its text is,
// never taken for a broken motor file of another program.
TEST(MotorFormatsUtf16Test, CarriageReturnLinesReadInEveryFormat) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "thrustlet_cr_lines";
    std::filesystem::create_directories(dir);
    for (const char* name : {"two_tab_54mm.ric", "inch_bates.bsx", "meteor_v1_kndx_si.json"}) {
        SCOPED_TRACE(name);
        std::string text = Slurp(DataPath(name));
        text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
        cMotor as_lf, as_cr;
        const ReadOutcome lf = ReadAnyMotorFile(DataPath(name), as_lf);
        std::replace(text.begin(), text.end(), '\n', '\r');
        const std::string path = (dir / name).string();
        std::ofstream(path, std::ios::binary) << text;
        const ReadOutcome cr = ReadAnyMotorFile(path, as_cr);
        EXPECT_EQ(cr.format, lf.format);
        EXPECT_EQ(MotorFileText(as_cr), MotorFileText(as_lf));
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace thrustlet

namespace thrustlet {
namespace {

// Files no program saved, made to exhaust the readers (many attributes on
// one element, lists nested thousands deep, megabytes of tiny entries), are
// refused before they are parsed, saying why.
TEST(HostileFilesTest, RefusedBeforeTheParserSeesThem) {
    std::string bsx = Slurp(DataPath("inch_bates.bsx"));
    std::string attributes;
    for (int i = 0; i < 5000; ++i) attributes += " a" + std::to_string(i) + "=\"1\"";
    bsx.insert(bsx.find("<Grain ") + 6, attributes);
    EXPECT_NE(Problem([&] { ReadBsx(bsx); }).find("has more than 1000 attributes (BurnSim writes about a dozen)"),
              std::string::npos);

    const std::string deep = "data: " + std::string(100000, '[');
    EXPECT_NE(Problem([&] { ReadRic(deep); }).find("nests its lists and maps more than 64 deep"), std::string::npos);
    // Brackets inside quotes and comments are no nesting.
    std::string quoted = Slurp(DataPath("two_tab_54mm.ric"));
    quoted.insert(0, "# [[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[\n");
    EXPECT_NO_THROW(ReadRic(quoted));
    std::string wide = "data: [";
    while (wide.size() <= 512 * 1024) wide += "[1],";
    EXPECT_NE(Problem([&] { ReadRic(wide + "]"); }).find("KiB, more than the 512 KiB"), std::string::npos);

    std::string meteor = "{\"version\": 3, \"propellantId\": \"KNSB\", \"x\": [";
    while (meteor.size() <= (4u << 20)) meteor += "{},";
    meteor += "{}]}";
    EXPECT_NE(Problem([&] { ReadMeteor(meteor); }).find("MiB, more than the 4 MiB"), std::string::npos);
}

// A law whose rate drops at 2 MPa (a quarter of it above) pins the steady
// pressure at that boundary over a range of throats: the pressure was
// reached on the lower piece, which is the one BurnSim's single law keeps,
// so the motor it opens still burns.
TEST(BurnSimLawTest, PeakOnAPieceBoundaryKeepsTheLowerPiece) {
    cMotor motor = testing::ThreeGrainKnsb();
    PerformanceInputs in = motor.Performance();
    in.nozzle_exit_dia.reset();
    const float low = static_cast<float>(CoefficientFromMmPerSecond(8.0, 0.3));
    const float high = static_cast<float>(CoefficientFromMmPerSecond(2.0, 0.3));
    in.burn_rate = {{0.0f, 2.0e6f, low, 0.3f}, {2.0e6f, 2.0e7f, high, 0.3f}};
    motor.SetPerformance(in);
    bool pinned = false;
    for (float throat = 6.0f; throat <= 12.0f && !pinned; throat += 0.25f) {
        motor.SetNozzleDia(throat);
        const MotorRun run = RunMotor(motor);
        ASSERT_TRUE(run.Figures()) << run.Outcome().problem;
        if (run.Figures()->peak_pressure != 2.0e6) continue;
        pinned = true;
        const ExportedText bsx = BsxText(run);
        EXPECT_TRUE(Mentions(bsx.not_carried, "the file has piece 1 (the one the peak pressure runs by)"));
        const MotorRun reopened = RunMotor(ReadBsx(bsx.text).motor);
        ASSERT_TRUE(reopened.Figures()) << reopened.Outcome().problem;
        EXPECT_GT(reopened.Figures()->total_impulse, 0.5 * run.Figures()->total_impulse);
    }
    EXPECT_TRUE(pinned) << "no throat put the peak on the boundary";
}

}  // namespace
}  // namespace thrustlet
