// Runs the real thrustlet-kn binary on example and temporary motor files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

#ifndef THRUSTLET_KN_BINARY
#error "THRUSTLET_KN_BINARY must name the thrustlet-kn program"
#endif

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int exit_code = -1;
    std::string out;
    std::string err;
};

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("thrustlet_cli_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string File(const std::string& name, const std::string& text) {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    static std::string Slurp(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }
    Outcome Thrustlet(const std::string& args, const char* binary = THRUSTLET_KN_BINARY) {
        const fs::path out = dir_ / "stdout", err = dir_ / "stderr";
        const std::string command = std::string("'") + binary + "' " + args + " >'" + out.string() +
                                    "' 2>'" + err.string() + "'";
        const int status = std::system(command.c_str());
        Outcome run;
        run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = Slurp(out);
        run.err = Slurp(err);
        return run;
    }
    static std::string Example(const std::string& name) {
        return "'" + std::string(THRUSTLET_EXAMPLES_DIR) + "/" + name + "'";
    }
    std::string ExampleMotor() {
        return File("example.tlt", "Name:\r\nNozzleDia:0.5\r\nGrain:1,4,2,1\r\nGrain:1,4,2,1\r\nPropellant Data\r\n"
                                   "ISP*:100\r\nDensity:0.1\r\nBallisticA:0.5\r\nBallisticN:0.5\r\n");
    }

    fs::path dir_;
};

TEST_F(CliTest, TextSummaryOfTheExampleMotor) {
    const std::string path = ExampleMotor();
    const Outcome run = Thrustlet("'" + path + "'");
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.out, "File: " + path +
                           "\nGrains: 2\nNozzle throat: 0.5\nInitial Kn: 176\nMax Kn: 197\nMax Kn depth: 0.2675\nWeb: 0.5\n"
                           "Nozzle/core area ratio: 0.25 (ok)\nVolume loading: 75%\n\n");
    EXPECT_EQ(run.err, "");
}

TEST_F(CliTest, JsonWithCurveAndSearches) {
    const std::string path = ExampleMotor();
    const Outcome max = Thrustlet("--json --curve --size-max 197 '" + path + "'");
    EXPECT_EQ(max.exit_code, 0);
    EXPECT_EQ(max.out.rfind("{\"file\":\"" + path +
                                "\",\"grains\":2,\"nozzle\":0.5,\"initial_kn\":176,\"max_kn\":197,\"max_kn_depth\":0.2674983,\"web\":0.5,"
                                "\"area_ratio\":0.25,\"area_ratio_level\":\"ok\",\"volume_loading\":75,"
                                "\"curve\":[[0,176],[0.001,176],",
                            0),
              0u);
    EXPECT_NE(max.out.find("\"nozzle_for_target\":0.5,\"performance\":null,"), std::string::npos);
    size_t samples = 0;
    for (size_t at = max.out.find("],["); at != std::string::npos; at = max.out.find("],[", at + 1)) ++samples;
    EXPECT_EQ(samples + 1, 501u);  // the window's 501 samples
    const Outcome initial = Thrustlet("--json --size-initial 176 '" + path + "'");
    EXPECT_NE(initial.out.find("\"nozzle_for_target\":0.5,"), std::string::npos);
}

// A 38 mm three-grain motor (millimetres, SI propellant values with a
// KNSU-like law, a divergent nozzle).
const char kPropellantMotor[] =
    "Name:\r\nNozzleDia:10\r\nGrain:1,57,38,14\r\nGrain:1,57,38,14\r\nGrain:1,57,38,16\r\nPropellant Data\r\n"
    "ISP*:885\r\nDensity:1800\r\nBallisticA:1.0069E-04\r\nBallisticN:0.319\r\nUnits:mm\r\n"
    "SpecificHeatRatio:1.042\r\nNozzleExitDia:25\r\n";

TEST_F(CliTest, PerformanceFiguresInTextAndJson) {
    const std::string path = File("knsu38.tlt", kPropellantMotor);
    const Outcome text = Thrustlet("'" + path + "'");
    EXPECT_EQ(text.exit_code, 0) << text.err;
    EXPECT_NE(text.out.find("Volume loading: 85%\nPeak pressure: 3.819"), std::string::npos) << text.out;
    for (const char* line : {"\nBurn time: 0.991", "\nTotal impulse: 413.", " N s\n", "\nDesignation: I417\n",
                             "\nPropellant mass: 0.2968635 kg\n"}) {
        EXPECT_NE(text.out.find(line), std::string::npos) << line;
    }
    const Outcome json = Thrustlet("--json '" + path + "'");
    EXPECT_NE(json.out.find(",\"performance\":{\"burn_time_s\":0.991"), std::string::npos) << json.out;
    for (const char* key : {"\"total_impulse_ns\":413.", "\"average_thrust_n\":417.", "\"peak_thrust_n\":478.",
                            "\"peak_pressure_pa\":38198", "\"propellant_mass_kg\":0.29686", "\"delivered_isp_s\":142.",
                            "\"designation\":\"I417\""}) {
        EXPECT_NE(json.out.find(key), std::string::npos) << key;
    }
    // A seven-line file reports as it always did, with no performance.
    const Outcome old = Thrustlet(Example("two_grain.tlt"));
    EXPECT_EQ(old.out.find("Peak pressure"), std::string::npos);
    EXPECT_NE(Thrustlet("--json " + Example("two_grain.tlt")).out.find(",\"performance\":null,"), std::string::npos);
}

// Values no burn can have are named on standard error; no figures, never
// NaN or infinity, and the run fails.
TEST_F(CliTest, BadPropellantValuesAreRefused) {
    std::string text = kPropellantMotor;
    text.replace(text.find("BallisticN:0.319"), 16, "BallisticN:1.2");
    const std::string path = File("bad.tlt", text);
    const Outcome run = Thrustlet("'" + path + "'");
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err, "thrustlet-kn: " + path + ": the burn-rate exponent n must be below 1, not 1.2\n");
    EXPECT_NE(run.out.find("\nPerformance: the burn-rate exponent n must be below 1, not 1.2\n"), std::string::npos);
    const Outcome json = Thrustlet("--json '" + path + "'");
    EXPECT_EQ(json.exit_code, 1);
    EXPECT_NE(json.out.find("\"performance\":null,"), std::string::npos);
    EXPECT_NE(json.out.find(",\"errors\":{\"performance\":\"the burn-rate exponent n"), std::string::npos);
    EXPECT_EQ(json.out.find("nan"), std::string::npos);
    EXPECT_EQ(json.out.find("inf"), std::string::npos);
    EXPECT_EQ(Thrustlet("--eng '" + path + "'").exit_code, 1);
}

// The engine file: a header a simulator reads, the motor's own points from
// ignition (time 0, full thrust) to burnout (thrust 0) with rising times,
// 32 of them where they keep the impulse within 1 %.
TEST_F(CliTest, EngineFileOfTheThrustCurve) {
    const Outcome run = Thrustlet("--eng '" + File("knsu38.tlt", kPropellantMotor) + "'");
    ASSERT_EQ(run.exit_code, 0) << run.err;
    std::istringstream lines(run.out);
    std::string line, header;
    std::vector<std::pair<double, double>> points;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == ';') continue;
        if (header.empty()) {
            header = line;
            continue;
        }
        std::istringstream numbers(line);
        double time = 0, thrust = 0;
        ASSERT_TRUE(numbers >> time >> thrust) << line;
        points.emplace_back(time, thrust);
    }
    EXPECT_EQ(header, "I417 38 171 P 0.296863 0.296863 Thrustlet");
    ASSERT_EQ(points.size(), 32u);
    // The format implies (0, 0): the steady burn's full thrust at ignition
    // is listed a thousandth of the burn later.
    EXPECT_NEAR(points.front().first, 0.000991064, 1e-9);
    EXPECT_NEAR(points.front().second, 417.1, 0.1);
    for (size_t i = 1; i < points.size(); ++i) EXPECT_GT(points[i].first, points[i - 1].first) << i;
    EXPECT_EQ(points.back().second, 0.0);
    EXPECT_NEAR(points.back().first, 0.991064, 1e-6);  // the burnout, not moved
    double impulse = 0.5 * points.front().second * points.front().first;
    for (size_t i = 1; i < points.size(); ++i) {
        impulse += 0.5 * (points[i].second + points[i - 1].second) * (points[i].first - points[i - 1].first);
    }
    EXPECT_NEAR(impulse, 413.40, 413.40 * 0.01);
    EXPECT_EQ(Thrustlet("--eng " + Example("two_grain.tlt")).exit_code, 1);  // no propellant, no curve
    EXPECT_EQ(Thrustlet("--eng --json x.tlt").exit_code, 2);

    // A motor whose nozzle gives no thrust at all (its exit far too wide
    // for the pressure at sea level) has no engine file.
    std::string flat = kPropellantMotor;
    flat.replace(flat.find("NozzleExitDia:25"), 16, "NozzleExitDia:400");
    const Outcome none = Thrustlet("--eng '" + File("flat.tlt", flat) + "'");
    EXPECT_EQ(none.exit_code, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_NE(none.err.find("no thrust curve: the motor gives no impulse"), std::string::npos) << none.err;
}

// Lengths carry the design's unit in the text report; sizing a millimetre
// design searches its own unit's range, and a target no throat reaches is
// a failure named on standard error, never the range's end as an answer.
TEST_F(CliTest, UnitsAndSizingInMillimetres) {
    const std::string path = File("knsu38.tlt", kPropellantMotor);
    const Outcome text = Thrustlet("--size-max 280 '" + path + "'");
    EXPECT_EQ(text.exit_code, 0) << text.err;
    for (const char* line : {"\nNozzle throat: 10 mm\n", "\nWeb: 12 mm\n", " mm\nWeb:", "\nNozzle for target: 8.255 mm\n"}) {
        EXPECT_NE(text.out.find(line), std::string::npos) << line << "\n" << text.out;
    }
    EXPECT_NE(Thrustlet(Example("three_grain_38mm.tlt")).out.find("\nWeb: 0.5 in\n"), std::string::npos);
    EXPECT_NE(Thrustlet(Example("two_grain.tlt")).out.find("\nWeb: 0.6\n"), std::string::npos);  // no unit, none shown

    const Outcome unreachable = Thrustlet("--size-max 1 '" + path + "'");
    EXPECT_EQ(unreachable.exit_code, 1);
    EXPECT_EQ(unreachable.err, "thrustlet-kn: " + path + ": no throat from 2.54 to 76.2 mm gives a maximum Kn of 1 or less\n");
    EXPECT_NE(unreachable.out.find("\nNozzle for target: no throat from 2.54 to 76.2 mm"), std::string::npos);
    EXPECT_EQ(unreachable.out.find("76.2 mm\n"), std::string::npos);
    const Outcome json = Thrustlet("--json --size-initial 1 '" + path + "'");
    EXPECT_EQ(json.exit_code, 1);
    EXPECT_NE(json.out.find("\"nozzle_for_target\":null"), std::string::npos);
    EXPECT_NE(json.out.find("\"nozzle_for_target\":\"no throat from 2.54 to 76.2 mm gives an initial Kn of 1 or less\""),
              std::string::npos) << json.out;
    EXPECT_NE(json.out.find(",\"target_reached\":false"), std::string::npos) << json.out;
    EXPECT_NE(Thrustlet("--json --size-max 280 '" + path + "'").out.find(",\"target_reached\":true"), std::string::npos);
    // A target above the narrowest throat's Kn: that throat, said, exit 1.
    const Outcome above = Thrustlet("--json --size-max 10000 '" + path + "'");
    EXPECT_EQ(above.exit_code, 1);
    EXPECT_NE(above.out.find("\"nozzle_for_target\":2.54,"), std::string::npos) << above.out;
    EXPECT_NE(above.out.find(",\"target_reached\":false"), std::string::npos) << above.out;
    EXPECT_NE(above.err.find(": the narrowest throat of the range, 2.54 mm, gives a maximum Kn of "), std::string::npos)
        << above.err;
    EXPECT_NE(above.err.find(", below the target of 10000: the target needs a narrower throat"), std::string::npos)
        << above.err;
    EXPECT_NE(json.out.find("\"burn_time_s\":0.991064"), std::string::npos);
    EXPECT_NE(json.out.find(",\"thrust_time_s\":0.991064"), std::string::npos) << json.out;
}

// Figures past what a float holds (a throat of 1e-19, a law near n = 1) are
// named and the run goes on to the next file, in every form of the report.
TEST_F(CliTest, FiguresPastTheFloatRangeAreNamedNotFatal) {
    std::string narrow = kPropellantMotor;
    narrow.replace(narrow.find("NozzleDia:10"), 12, "NozzleDia:1E-19");
    std::string steep = kPropellantMotor;
    steep.replace(steep.find("BallisticA:1.0069E-04\r\nBallisticN:0.319"), 38, "BallisticA:5E-05\r\nBallisticN:0.95");
    for (const std::string& text : {narrow, steep}) {
        const std::string path = File("huge.tlt", text);
        for (const char* mode : {"", "--curve ", "--json "}) {
            const Outcome run = Thrustlet(std::string(mode) + "'" + path + "' " + Example("two_grain.tlt"));
            EXPECT_EQ(run.exit_code, 1) << mode << run.err;
            EXPECT_NE(run.err.find("is beyond any motor"), std::string::npos) << mode << run.err;
            EXPECT_NE(run.out.find("two_grain.tlt"), std::string::npos) << mode;  // the next file still reported
        }
    }
}

// Will it hold: the limits, the peak mass flux, each grain and the alerts in
// the text of a design with a unit and in JSON for every design;
// --fail-on-alert exits 3 exactly when an alert is raised.
TEST_F(CliTest, LimitsGrainsAndAlerts) {
    // Equal webs and ports wide enough: no limit crossed.
    std::string calm = kPropellantMotor;
    for (const char* core : {"Grain:1,57,38,14", "Grain:1,57,38,14", "Grain:1,57,38,16"}) {
        calm.replace(calm.find(core), 16, "Grain:1,57,38,18");
    }
    const std::string path = File("calm.tlt", calm);
    const Outcome text = Thrustlet("'" + path + "'");
    EXPECT_EQ(text.exit_code, 0);
    for (const char* line : {"\nLimits: pressure none, mass flux 1406 kg/(m\u00b2\u00b7s)", "\nPeak mass flux: ",
                             ", grain 3 at 0 s (depth 0 mm)\n", "\nGrain 1: mass 0.09025165 kg, port-to-throat 3.24,",
                             "neutral length 66 mm (length 57 mm)\n"}) {
        EXPECT_NE(text.out.find(line), std::string::npos) << line << "\n" << text.out;
    }
    EXPECT_EQ(text.out.find("Alert:"), std::string::npos);  // this motor crosses no limit
    EXPECT_EQ(Thrustlet("--fail-on-alert '" + path + "'").exit_code, 0);

    std::string rated = kPropellantMotor;
    rated += "MaxPressure:3000000\r\n";
    const std::string over = File("over.tlt", rated);
    const Outcome alert = Thrustlet("--fail-on-alert '" + over + "'");
    EXPECT_EQ(alert.exit_code, 3);
    EXPECT_NE(alert.out.find("\nAlert: The peak chamber pressure, 3.82 MPa, is above the casing's rating of 3 MPa.\n"),
              std::string::npos) << alert.out;
    const Outcome json = Thrustlet("--json --fail-on-alert '" + over + "'");
    EXPECT_EQ(json.exit_code, 3);
    for (const char* key : {"\"limits\":{\"max_pressure_pa\":3000000,\"max_mass_flux_kg_m2s\":1406,\"min_port_throat\":2}",
                            "\"peak_mass_flux_grain\":3,\"peak_mass_flux_time_s\":0,", "\"grains\":[{\"mass_kg\":0.1005661",
                            "\"alerts\":[{\"kind\":\"pressure\",\"grain\":null,\"message\":\"The peak chamber pressure"}) {
        EXPECT_NE(json.out.find(key), std::string::npos) << key << "\n" << json.out;
    }
    // Without a unit: the same figures in JSON (those needing a propellant
    // null), the text as it always was.
    const Outcome plain = Thrustlet("--json --fail-on-alert " + Example("two_grain.tlt"));
    EXPECT_EQ(plain.exit_code, 3);  // its second grain's web is the thinner
    EXPECT_NE(plain.out.find("\"peak_mass_flux_kg_m2s\":null"), std::string::npos);
    EXPECT_NE(plain.out.find("{\"kind\":\"uneven_web\",\"grain\":2,"), std::string::npos);
    EXPECT_EQ(Thrustlet(Example("two_grain.tlt")).out.find("Alert"), std::string::npos);
    // In text, the alert a run fails on is said before it exits 3.
    const Outcome said = Thrustlet("--fail-on-alert " + Example("two_grain.tlt"));
    EXPECT_EQ(said.exit_code, 3);
    EXPECT_EQ(said.out.find("Alert"), std::string::npos);
    EXPECT_NE(said.err.find(": alert: Grain 2's web"), std::string::npos) << said.err;
    EXPECT_EQ(Thrustlet("--eng --fail-on-alert x.tlt").exit_code, 2);
}

// A firing drawn by hand: a 50 ms rise, a slowly falling plateau, a knee at
// 1 s and a linear tail-off to 1.2 s, at `scale` times the pressure and
// `faster` times as fast.
std::string HandDrawnFiring(double scale, double faster = 1.0) {
    std::string text = "time (s),thrust (N),pressure (psi)\n";
    for (int i = 0; i < 1400; ++i) {
        const double t = (i * 0.001 - 0.05) * faster;
        double f = 0, p = 0;
        if (t >= 0 && t < 0.05) f = 400 * t / 0.05, p = 500 * t / 0.05;
        if (t >= 0.05 && t < 1.0) f = 400 - 40 * (t - 0.05), p = 500 - 50 * (t - 0.05);
        if (t >= 1.0 && t < 1.2) f = 362 * (1 - (t - 1.0) / 0.2), p = 452.5 * (1 - (t - 1.0) / 0.2);
        char line[80];
        std::snprintf(line, sizeof line, "%.5f,%.3f,%.3f\n", t / faster, f * scale, p * scale);
        text += line;
    }
    return text;
}

// What a firing measured beside the prediction, in text and JSON; bad logs
// refused with the error named and exit 1.
TEST_F(CliTest, FiringBesideThePrediction) {
    const std::string design = File("knsu38.tlt", kPropellantMotor);
    const std::string data = File("firing.csv", HandDrawnFiring(1.0));
    const Outcome text = Thrustlet("--firing '" + data + "' '" + design + "'");
    EXPECT_EQ(text.exit_code, 0) << text.err;
    for (const char* line : {"\nSamples: 1400 (1 line skipped)\n", "\nBurn time: 0.99", " s (predicted 0.99",
                             "\nTotal impulse: 407.6", "\nc* efficiency: "}) {
        EXPECT_NE(text.out.find(line), std::string::npos) << line << "\n" << text.out;
    }
    const Outcome json = Thrustlet("--json --firing '" + data + "' '" + design + "'");
    EXPECT_EQ(json.exit_code, 0);
    for (const char* key : {"\"firing\":{\"samples\":1400,\"skipped_lines\":1,\"ignition_s\":0.005,", "\"burn_time_s\":0.99",
                            "\"action_time_s\":1.17", "\"total_impulse_ns\":407.6", "\"peak_pressure_pa\":3548",
                            "\"cstar_efficiency\":1.0", "\"cf_efficiency\":0.9", "\"prediction\":{\"samples\":2201,"}) {
        EXPECT_NE(json.out.find(key), std::string::npos) << key << "\n" << json.out;
    }
    std::string backward = HandDrawnFiring(1.0);
    backward.replace(backward.find("0.30000,"), 8, "0.10000,");
    const Outcome refused = Thrustlet("--json --firing '" + File("back.csv", backward) + "' '" + design + "'");
    EXPECT_EQ(refused.exit_code, 1);
    EXPECT_NE(refused.out.find("\"error\":\""), std::string::npos);
    EXPECT_NE(refused.out.find("the time 0.1 goes back"), std::string::npos) << refused.out;
    EXPECT_EQ(refused.out.find("\"firing\""), std::string::npos);  // no figures
    const Outcome no_unit = Thrustlet("--firing '" + File("plain.csv", "0,1,2\n1,2,3\n2,3,4\n3,4,5\n4,5,6\n5,6,7\n6,7,8\n7,8,9\n8,9,1\n9,1,1\n") +
                                      "' '" + design + "'");
    EXPECT_EQ(no_unit.exit_code, 1);
    EXPECT_NE(no_unit.err.find("the time column's unit is not known"), std::string::npos) << no_unit.err;
    const std::string plain2 = File("plain2.csv", "0,1,2\n1,2,3\n2,3,4\n3,4,5\n4,5,6\n5,6,7\n6,7,8\n7,8,9\n8,9,1\n9,1,1\n");
    const Outcome no_pressure = Thrustlet("--firing '" + plain2 + "' --firing-units time=s,force=N '" + design + "'");
    EXPECT_NE(no_pressure.err.find("the pressure column's unit is not known"), std::string::npos) << no_pressure.err;
    EXPECT_EQ(Thrustlet("--firing '" + plain2 + "' --firing-units time=s,force=N,pressure=psi '" + design + "'").exit_code, 0);
    EXPECT_EQ(Thrustlet("--firing x.csv --eng '" + design + "'").exit_code, 2);
    EXPECT_EQ(Thrustlet("--firing-units force=tons '" + design + "'").exit_code, 2);
}

// The law fitted to firings at two pressures (the average points), as JSON
// with its points; one pressure only is no law.
TEST_F(CliTest, FitFromTwoFirings) {
    const std::string design = File("knsu38.tlt", kPropellantMotor);
    // 1.6 times the pressure burns 1.6^0.3 times as fast: n = 0.3.
    const std::string low = File("low.csv", HandDrawnFiring(1.0)), high = File("high.csv", HandDrawnFiring(1.6, std::pow(1.6, 0.3)));
    const Outcome fit = Thrustlet("--json --fit '" + design + "' '" + low + "' '" + design + "' '" + high + "'");
    EXPECT_EQ(fit.exit_code, 0) << fit.out << fit.err;
    for (const char* key : {"{\"pieces\":[{\"p_min_pa\":", ",\"a\":", ",\"n\":0.3", "\"r2\":", "\"cstar_efficiency\":",
                            "\"points\":[{\"pressure_pa\":", "\"source\":\"" }) {
        EXPECT_NE(fit.out.find(key), std::string::npos) << key << "\n" << fit.out;
    }
    EXPECT_NE(fit.out.find("high.csv, average"), std::string::npos);
    const Outcome text = Thrustlet("--fit '" + design + "' '" + low + "' '" + design + "' '" + high + "'");
    EXPECT_NE(text.out.find(" mm/s at MPa, "), std::string::npos) << text.out;
    const Outcome one = Thrustlet("--json --fit '" + design + "' '" + low + "' '" + design + "' '" + low + "'");
    EXPECT_EQ(one.exit_code, 1);
    EXPECT_NE(one.out.find("points at only one pressure"), std::string::npos) << one.out;
    const Outcome instant = Thrustlet("--json --fit --points instant --break 4000000 '" + design + "' '" + low + "' '" +
                                      design + "' '" + high + "'");
    EXPECT_EQ(instant.exit_code, 0) << instant.out;
    EXPECT_NE(instant.out.find("},{\"p_min_pa\":"), std::string::npos) << instant.out;  // two pieces
    EXPECT_NE(instant.out.find("low.csv, instant"), std::string::npos);
    EXPECT_EQ(Thrustlet("--fit '" + design + "'").exit_code, 1);  // no data beside it
}

// The trace fit: the example's made-up firing (a law 15 % faster, 93 % of
// c*) fitted by the full model, in JSON with its new members, written back
// with --save as a full-model design; --model picks the model of any run.
TEST_F(CliTest, TraceFitAndTheModel) {
    const std::string saved = (dir_ / "fitted.tlt").string();
    const Outcome fit = Thrustlet("--json --fit " + Example("knsb_38mm_fired.tlt") + " " + Example("knsb_38mm_stand.csv") +
                                  " --points trace --break 1503000 --save '" + saved + "'");
    ASSERT_EQ(fit.exit_code, 0) << fit.out << fit.err;
    for (const char* key : {"{\"pieces\":[{\"p_min_pa\":0,", "\"combustion_efficiency\":0.9", "\"nozzle_efficiency\":",
                            "\"erosive_alpha\":null", "\"pressure_rms_pa\":", "\"saved\":"}) {
        EXPECT_NE(fit.out.find(key), std::string::npos) << key << "\n" << fit.out;
    }
    const std::string text = Slurp(saved);
    EXPECT_NE(text.find("Model:full\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("CombustionEfficiency:0.9"), std::string::npos) << text;
    EXPECT_NE(Thrustlet("--json '" + saved + "'").out.find(",\"model\":\"full\""), std::string::npos);
    EXPECT_NE(Thrustlet("--json --model steady '" + saved + "'").out.find(",\"model\":\"steady\""), std::string::npos);
    EXPECT_NE(Thrustlet("--model full " + Example("knsb_38mm.tlt")).out.find("Model: full\n"), std::string::npos);
    EXPECT_EQ(Thrustlet(Example("knsb_38mm.tlt")).out.find("Model:"), std::string::npos);  // steady says nothing new
    EXPECT_EQ(Thrustlet("--model warp " + Example("knsb_38mm.tlt")).exit_code, 2);
    EXPECT_EQ(Thrustlet("--erosive " + Example("knsb_38mm.tlt")).exit_code, 2);
    EXPECT_EQ(Thrustlet("--fit --save x.tlt " + Example("knsb_38mm_fired.tlt") + " " + Example("knsb_38mm_stand.csv")).exit_code, 2);
}

// --firing and --fit read a design in any format the program opens, and a
// failure names the file it comes from: the design or the log.
TEST_F(CliTest, DesignsInAnyFormatInEveryCommand) {
    const std::string ric = "'" + std::string(THRUSTLET_TEST_DATA_DIR) + "/two_tab_54mm.ric'";
    const Outcome firing = Thrustlet("--json --firing " + Example("knsb_38mm_stand.csv") + " " + ric);
    EXPECT_EQ(firing.exit_code, 0) << firing.out << firing.err;
    EXPECT_NE(firing.out.find("\"prediction\":{"), std::string::npos) << firing.out;
    const Outcome fit = Thrustlet("--fit " + ric + " " + Example("knsb_38mm_stand.csv") + " --points trace");
    EXPECT_EQ(fit.exit_code, 0) << fit.err;
    const std::string missing = (dir_ / "gone.tlt").string();
    const Outcome no_design = Thrustlet("--firing " + Example("knsb_38mm_stand.csv") + " '" + missing + "'");
    EXPECT_EQ(no_design.exit_code, 1);
    EXPECT_EQ(no_design.err.rfind("thrustlet-kn: " + missing + ": File not found", 0), 0u) << no_design.err;
    const Outcome no_log = Thrustlet("--json --fit " + Example("knsb_38mm.tlt") + " '" + missing + ".csv'");
    EXPECT_NE(no_log.out.find(missing + ".csv: "), std::string::npos) << no_log.out;
}

// --rse prints RockSim's engine file; it takes no other option.
TEST_F(CliTest, RockSimEngineFile) {
    const Outcome rse = Thrustlet("--rse " + Example("knsb_38mm.tlt"));
    EXPECT_EQ(rse.exit_code, 0) << rse.err;
    EXPECT_EQ(rse.out.rfind("<engine-database>", 0), 0u) << rse.out;
    EXPECT_NE(rse.out.find("code=\"H200\""), std::string::npos) << rse.out;
    EXPECT_EQ(Thrustlet("--rse --json " + Example("knsb_38mm.tlt")).exit_code, 2);
    EXPECT_EQ(Thrustlet("--rse --eng " + Example("knsb_38mm.tlt")).exit_code, 2);
}

// A log whose figures no motor has (its times in milliseconds read as
// seconds) is warned about on standard error, saying what to check.
TEST_F(CliTest, ImplausibleFiringFiguresAreWarned) {
    std::string text = "time (s),thrust (N),pressure (MPa)\n";
    for (int i = 0; i <= 1200; ++i) {
        const double t = i;  // milliseconds taken for seconds
        const double shape = i < 20 ? i / 20.0 : i < 1100 ? 1.0 : std::max(0.0, (1200 - i) / 100.0);
        text += std::to_string(t) + "," + std::to_string(200 * shape) + "," + std::to_string(3 * shape) + "\n";
    }
    const std::string log = File("ms.csv", text);
    const Outcome run = Thrustlet("--firing '" + log + "' " + Example("knsb_38mm.tlt"));
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_NE(run.err.find("warning: the measured burn time"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("check the log's time unit"), std::string::npos) << run.err;
    EXPECT_EQ(Thrustlet("--firing " + Example("knsb_38mm_stand.csv") + " " + Example("knsb_38mm_fired.tlt")).err, "");
}

// Meteor's files report by content; --config picks a motor of a file that
// holds several, and one past them fails naming the count.
TEST_F(CliTest, MeteorFilesAndTheirMotors) {
    const std::string file = "'" + std::string(THRUSTLET_TEST_DATA_DIR) + "/meteor_v1_kndx_si.json'";
    const Outcome first = Thrustlet("--json " + file);
    EXPECT_EQ(first.exit_code, 0) << first.err;
    EXPECT_NE(first.out.find("\"grains\":4"), std::string::npos) << first.out;
    EXPECT_NE(first.out.find(",\"model\":\"full\""), std::string::npos);
    EXPECT_NE(first.err.find("from Meteor: the Meteor file holds 2 motors"), std::string::npos) << first.err;
    const Outcome second = Thrustlet("--json --config 2 " + file);
    EXPECT_NE(second.out.find("\"grains\":2"), std::string::npos) << second.out;
    const Outcome third = Thrustlet("--config 3 " + file);
    EXPECT_EQ(third.exit_code, 1);
    EXPECT_NE(third.err.find("holds 2 motors, not a motor 3"), std::string::npos) << third.err;
    EXPECT_EQ(Thrustlet("--config 0 " + file).exit_code, 2);
    EXPECT_EQ(Thrustlet("--config 2 " + Example("knsb_38mm.tlt")).exit_code, 1);  // one motor only
}

// Other programs' files report as the design read from them, known by
// content whatever their name, with what did not come along on standard
// error; --convert writes another format, and a motor that cannot come is
// refused with exit 1.
TEST_F(CliTest, OtherProgramsFilesAndConvert) {
    const std::string ric = std::string(THRUSTLET_TEST_DATA_DIR) + "/two_tab_54mm.ric";
    const std::string tlt = (dir_ / "converted.tlt").string();
    const Outcome convert = Thrustlet("--convert '" + tlt + "' '" + ric + "'");
    EXPECT_EQ(convert.exit_code, 0) << convert.err;
    EXPECT_NE(convert.err.find(": from openMotor: openMotor's simulation settings (flow separation warning"), std::string::npos)
        << convert.err;
    const Outcome from_ric = Thrustlet("--json '" + ric + "'");
    const Outcome from_tlt = Thrustlet("--json '" + tlt + "'");
    ASSERT_EQ(from_ric.exit_code, 0);
    const auto without_file = [](std::string json) { return json.substr(json.find(",\"grains\"")); };
    EXPECT_EQ(without_file(from_ric.out), without_file(from_tlt.out));
    // Its nozzle's 12 degree divergence and 3 mm throat cost thrust: a J, not
    // the K an ideal nozzle would give; figured as openMotor does, by the
    // full model (J368 steady).
    EXPECT_NE(from_ric.out.find("\"designation\":\"J366\""), std::string::npos) << from_ric.out;
    EXPECT_NE(from_ric.out.find(",\"model\":\"full\""), std::string::npos) << from_ric.out;
    EXPECT_NE(Thrustlet("--json --model steady '" + ric + "'").out.find("\"designation\":\"J368\""), std::string::npos);

    const std::string disguised = File("forum post.txt", Slurp(std::string(THRUSTLET_TEST_DATA_DIR) + "/inch_bates.bsx"));
    const Outcome bsx = Thrustlet("'" + disguised + "'");
    EXPECT_EQ(bsx.exit_code, 0);
    EXPECT_NE(bsx.out.find("Nozzle throat: 0.3125 in"), std::string::npos) << bsx.out;

    const Outcome to_bsx = Thrustlet("--convert '" + (dir_ / "k.bsx").string() + "' " + Example("knsb_38mm.tlt"));
    EXPECT_EQ(to_bsx.exit_code, 0);
    EXPECT_NE(to_bsx.err.find("k.bsx: for BurnSim: BurnSim holds one burn-rate law"), std::string::npos) << to_bsx.err;
    EXPECT_NE(Slurp(dir_ / "k.bsx").find("<Motor "), std::string::npos);

    const std::string star = File("star.bsx", "<Motor><Grain Type=\"4\" Diameter=\"1\" Length=\"1\"/></Motor>");
    const Outcome refused = Thrustlet("'" + star + "'");
    EXPECT_EQ(refused.exit_code, 1);
    EXPECT_NE(refused.err.find("Invalid file format: grain 1 is a star grain"), std::string::npos) << refused.err;
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(Thrustlet("--convert '" + (dir_ / "x.ric").string() + "' '" + star + "'").exit_code, 1);
    EXPECT_FALSE(fs::exists(dir_ / "x.ric"));
    EXPECT_EQ(Thrustlet("--convert x.ric --json " + Example("knsb_38mm.tlt")).exit_code, 2);
}

TEST_F(CliTest, CurveAsCsvBlock) {
    const Outcome run = Thrustlet("--curve '" + ExampleMotor() + "'");
    EXPECT_NE(run.out.find("Volume loading: 75%\ndepth,kn\n0,176\n0.001,176\n"), std::string::npos);
    EXPECT_EQ(run.out.substr(run.out.size() - 2), "\n\n");
}

TEST_F(CliTest, NotApplicableAndFailingFigures) {
    const std::string no_grains = File("empty.tlt", "Name:\r\nNozzleDia:0.5\r\nPropellant Data\r\nI:1\r\nD:1\r\nA:1\r\nN:1\r\n");
    const std::string zero_core = File("zero.tlt", "Name:\r\nNozzleDia:0.5\r\nGrain:1,4,2,1\r\nGrain:1,4,2,0\r\n");
    const Outcome not_applicable = Thrustlet("'" + no_grains + "'");
    EXPECT_EQ(not_applicable.exit_code, 0);  // N/A is not a failure
    const Outcome run = Thrustlet("'" + no_grains + "' '" + zero_core + "'");
    EXPECT_EQ(run.exit_code, 1);  // a figure failed; the report is still printed
    EXPECT_NE(run.out.find("Grains: 0\nNozzle throat: 0.5\nInitial Kn: N/A\nMax Kn: N/A\nMax Kn depth: N/A\n"),
              std::string::npos);
    EXPECT_NE(run.out.find("Nozzle/core area ratio: Division by zero\n"), std::string::npos);
    const Outcome json = Thrustlet("--json '" + no_grains + "' '" + zero_core + "'");
    EXPECT_NE(json.out.find("\"initial_kn\":null,\"max_kn\":null,\"max_kn_depth\":null"), std::string::npos);
    EXPECT_NE(json.out.find("\"area_ratio\":null,\"area_ratio_level\":null"), std::string::npos);
    EXPECT_NE(json.out.find("\"errors\":{\"area_ratio\":\"Division by zero\"}"), std::string::npos);
}

TEST_F(CliTest, AllFiguresFailingExitsOne) {
    const std::string unknown = File("unknown.tlt", "Name:\r\nNozzleDia:0.5\r\nGrain:7,4,2,1\r\n");
    const Outcome run = Thrustlet("'" + unknown + "'");
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_NE(run.out.find("Initial Kn: Unknown Grain Type: 7\n"), std::string::npos) << run.out;
}

TEST_F(CliTest, BlankPathsFailLikeMissingFiles) {
    for (const char* path : {"''", "' '"}) {
        const Outcome run = Thrustlet(path);
        EXPECT_EQ(run.exit_code, 1) << path;
        EXPECT_EQ(run.out, "") << path;
        EXPECT_NE(run.err.find("File not found"), std::string::npos) << path;
    }
}

TEST_F(CliTest, GrainsTheWindowWouldRefuseAreWarnedAbout) {
    const std::string odd = File("odd.tlt", "Name:\r\nNozzleDia:0.5\r\nGrain:1,4,2,1\r\nGrain:1,0,2,1\r\n"
                                             "Grain:1,4,2,2\r\nGrain:1,4,2,3\r\n");
    const Outcome run = Thrustlet("'" + odd + "'");
    EXPECT_EQ(run.err, "thrustlet-kn: " + odd + ": warning: grain 2: a dimension is not above zero (the "
                       "window's editor refuses such a grain)\n"
                       "thrustlet-kn: " + odd + ": warning: grain 3: the core is not below the diameter, so "
                       "the grain holds no propellant\n"
                       "thrustlet-kn: " + odd + ": warning: grain 4: the core is not below the diameter, so "
                       "the grain holds no propellant\n");
}

// Text from a file reaches the terminal escaped, and JSON stays valid UTF-8.
TEST_F(CliTest, FileTextCannotSteerTheTerminalOrBreakJson) {
    const std::string hostile =
        File("hostile.tlt", "Name:\r\nNozzleDia:\x1b]0;owned\x07\x1b[2J\x9b\xff\xc3\xa9\r\n");
    const Outcome run = Thrustlet("'" + hostile + "'");
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err.find('\x1b'), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find('\x07'), std::string::npos);
    EXPECT_NE(run.err.find("\\x1b]0;owned\\x07\\x1b[2J\\x9b\\xff\xc3\xa9"), std::string::npos) << run.err;
    const Outcome json = Thrustlet("--json '" + hostile + "'");
    EXPECT_NE(json.out.find("\\u001b]0;owned\\u0007\\u001b[2J\\ufffd\\ufffd\xc3\xa9"), std::string::npos)
        << json.out;
}

TEST_F(CliTest, UnreadableFilesAreReportedAndTheRestGoesOn) {
    const std::string bad = File("bad.tlt", "Name:\r\nNozzleDia:abc\r\n");
    const Outcome run = Thrustlet("'" + bad + "' " + Example("two_grain.tlt"));
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err, "thrustlet-kn: " + bad + ": Type mismatch: line 2 (\"NozzleDia:abc\")\n");
    EXPECT_NE(run.out.find("Initial Kn: 152\n"), std::string::npos);
    const Outcome json = Thrustlet("--json '" + bad + "'");
    EXPECT_EQ(json.exit_code, 1);
    EXPECT_EQ(json.out, "{\"file\":\"" + bad + "\",\"error\":\"Type mismatch: line 2 (\\\"NozzleDia:abc\\\")\"}\n");
}

// A throat whose area underflows to 0 reports Kn 0 everywhere: warned
// about, and a failure of the run; a merely small throat is fine.
TEST_F(CliTest, ThroatTooSmallForItsAreaFails) {
    const std::string motor = "Name:\r\nNozzleDia:%s\r\nGrain:1,4,2,1\r\nPropellant Data\r\n"
                              "ISP*:1\r\nDensity:1\r\nBallisticA:1\r\nBallisticN:0.3\r\n";
    const auto with_throat = [&](const std::string& throat) {
        std::string text = motor;
        text.replace(text.find("%s"), 2, throat);
        return text;
    };
    const std::string tiny = File("tiny.tlt", with_throat("1E-30"));
    const Outcome run = Thrustlet("'" + tiny + "'");
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_NE(run.out.find("Initial Kn: 0\n"), std::string::npos) << run.out;
    EXPECT_EQ(run.err, "thrustlet-kn: " + tiny +
                           ": warning: the nozzle throat (1E-30) is so small that its area is 0, so every Kn reads 0\n");
    const Outcome small = Thrustlet("'" + File("small.tlt", with_throat("1E-15")) + "'");
    EXPECT_EQ(small.exit_code, 0) << small.err;
    EXPECT_EQ(small.err, "");
}

TEST_F(CliTest, UsageErrorsAndHelp) {
    for (const char* args : {"", "--bogus x.tlt", "--size-max", "--size-max abc x.tlt",
                             "--size-max 1 --size-initial 2 x.tlt", "--size-initial 1e39 x.tlt"}) {
        const Outcome run = Thrustlet(args);
        EXPECT_EQ(run.exit_code, 2) << args;
        EXPECT_NE(run.err.find("usage: thrustlet-kn"), std::string::npos) << args;
    }
    const Outcome version = Thrustlet("--version");
    EXPECT_EQ(version.exit_code, 0);
    EXPECT_EQ(version.out, "thrustlet-kn 1.1.8\n");
    const Outcome help = Thrustlet("--help");
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_EQ(help.out.rfind("usage: thrustlet-kn", 0), 0u);
}

#ifdef THRUSTLET_WINDOW_BINARY
// The window program answers its options in text and ends, without a window.
TEST_F(CliTest, WindowProgramOptions) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const Outcome version = Thrustlet("--version", THRUSTLET_WINDOW_BINARY);
    EXPECT_EQ(version.exit_code, 0);
    EXPECT_EQ(version.out, "Thrustlet 1.1.8\n");
    const Outcome help = Thrustlet("--help", THRUSTLET_WINDOW_BINARY);
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_NE(help.out.find("[file]"), std::string::npos);
    const Outcome bad = Thrustlet("--bogus", THRUSTLET_WINDOW_BINARY);
    EXPECT_EQ(bad.exit_code, 1);
    // (Qt may warn about the environment before it.)
    EXPECT_TRUE(bad.err.ends_with("Thrustlet: Unknown option 'bogus'.\n")) << bad.err;

    // Without any display at all (over ssh, in a build script) they still
    // answer: no window system is needed to print a version.
    unsetenv("QT_QPA_PLATFORM");
    const char* display = std::getenv("DISPLAY");
    const std::string saved_display = display ? display : "";
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    const Outcome headless = Thrustlet("--version", THRUSTLET_WINDOW_BINARY);
    const Outcome headless_help = Thrustlet("--help", THRUSTLET_WINDOW_BINARY);
    if (!saved_display.empty()) setenv("DISPLAY", saved_display.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    EXPECT_EQ(headless.exit_code, 0) << headless.err;
    EXPECT_EQ(headless.out, "Thrustlet 1.1.8\n");
    EXPECT_EQ(headless_help.exit_code, 0) << headless_help.err;
    EXPECT_NE(headless_help.out.find("[file]"), std::string::npos);
}
#endif

}  // namespace

namespace {

// The numbers of a JSON array of arrays, "[[1,2,3],[4,5,6]]", as rows.
std::vector<std::vector<double>> Rows(const std::string& json, const std::string& key) {
    std::vector<std::vector<double>> rows;
    std::size_t at = json.find("\"" + key + "\":[");
    if (at == std::string::npos) return rows;
    at += key.size() + 4;
    while (at < json.size() && json[at] == '[') {
        const std::size_t end = json.find(']', at);
        std::vector<double> row;
        std::stringstream cells(json.substr(at + 1, end - at - 1));
        for (std::string cell; std::getline(cells, cell, ',');) row.push_back(std::stod(cell));
        rows.push_back(row);
        at = end + 1;
        if (at < json.size() && json[at] == ',') ++at;
    }
    return rows;
}

double Number(const std::string& json, const std::string& key) {
    const std::size_t at = json.find("\"" + key + "\":");
    return at == std::string::npos ? NAN : std::stod(json.substr(at + key.size() + 3));
}

}  // namespace

// --trace adds the curve the window draws: its thrust sums to the impulse
// and its highest pressure is the peak, within 0.5 %; each grain carries its
// geometry in the design's unit. A design without a propellant has no trace.
TEST_F(CliTest, TraceOfTheKnsbExample) {
    const Outcome run = Thrustlet("--json --trace " + Example("knsb_38mm.tlt"));
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const std::vector<std::vector<double>> trace = Rows(run.out, "trace");
    ASSERT_GT(trace.size(), 32u);
    double impulse = 0.0, peak = 0.0;
    for (std::size_t i = 0; i < trace.size(); ++i) {
        ASSERT_EQ(trace[i].size(), 3u);
        peak = std::max(peak, trace[i][1]);
        if (i > 0) impulse += 0.5 * (trace[i][2] + trace[i - 1][2]) * (trace[i][0] - trace[i - 1][0]);
    }
    const double total = Number(run.out, "total_impulse_ns"), peak_pressure = Number(run.out, "peak_pressure_pa");
    EXPECT_NEAR(impulse, total, 0.005 * total);
    EXPECT_NEAR(peak, peak_pressure, 0.005 * peak_pressure);
    EXPECT_NE(run.out.find("\"length\":57,\"diameter\":33,\"core_diameter\":12}"), std::string::npos) << run.out;

    const std::string plain = ExampleMotor();
    const Outcome kn_only = Thrustlet("--json --trace '" + plain + "'");
    EXPECT_EQ(kn_only.exit_code, 0);
    EXPECT_EQ(kn_only.out.find("\"trace\""), std::string::npos);
    EXPECT_NE(kn_only.out.find("\"length\":4,\"diameter\":2,\"core_diameter\":1}"), std::string::npos) << kn_only.out;
    EXPECT_EQ(Thrustlet("--trace '" + plain + "'").exit_code, 2);  // the trace is JSON's
    // Each report says the unit of its lengths.
    EXPECT_NE(run.out.find(",\"units\":\"mm\""), std::string::npos);
    EXPECT_NE(kn_only.out.find(",\"units\":null"), std::string::npos);
    EXPECT_NE(Thrustlet("--json " + Example("six_grain_54mm.tlt")).out.find(",\"units\":"), std::string::npos);
}

// Nothing is lost on the command line: --convert never writes over the file
// it reads (a link to it neither) nor a motor under a curve's or an unknown
// extension, and an empty file to write or log to read (an unset shell
// variable) is a usage error, not a success.
TEST_F(CliTest, ConvertAndEmptyArgumentsLoseNothing) {
    const std::string ric = File("m.ric", Slurp(std::string(THRUSTLET_TEST_DATA_DIR) + "/two_tab_54mm.ric"));
    const std::string before = Slurp(ric);
    const Outcome same = Thrustlet("--convert '" + ric + "' '" + ric + "'");
    EXPECT_EQ(same.exit_code, 2);
    EXPECT_NE(same.err.find("would write over the file it reads"), std::string::npos) << same.err;
    const fs::path link = dir_ / "link.ric";
    fs::create_symlink(ric, link);
    EXPECT_EQ(Thrustlet("--convert '" + link.string() + "' '" + ric + "'").exit_code, 2);
    EXPECT_EQ(Slurp(ric), before);

    for (const char* name : {"curve.eng", "motor.xyz", "motor"}) {
        const Outcome wrong = Thrustlet("--convert '" + (dir_ / name).string() + "' '" + ric + "'");
        EXPECT_EQ(wrong.exit_code, 2) << name;
        EXPECT_NE(wrong.err.find(".tlt, .ric or .bsx"), std::string::npos) << wrong.err;
        EXPECT_NE(wrong.err.find("--eng (RASP) or --rse (RockSim)"), std::string::npos) << wrong.err;
        EXPECT_FALSE(fs::exists(dir_ / name)) << name;
    }
    EXPECT_EQ(Thrustlet("--convert '' '" + ric + "'").exit_code, 2);
    EXPECT_EQ(Thrustlet("--firing '' " + Example("knsb_38mm_fired.tlt")).exit_code, 2);
    EXPECT_EQ(Thrustlet("--json ''").exit_code, 1);  // a blank motor file is a missing one
}

// A fit with no usable law fails with why, printing nothing that is not a
// number; a log of values too large to sum names the figure, exit 1.
TEST_F(CliTest, FitsAndFiguresThatAreNoNumbers) {
    const std::string design = Example("knsb_38mm_fired.tlt");
    std::string log = "time (s),force (N),pressure (MPa)\n";
    for (int i = 0; i < 40; ++i) {
        const double t = 0.05 * i, on = i > 2 && i < 35 ? 1.0 : 0.0;
        log += std::to_string(t) + "," + (on > 0.0 ? std::string("1e308") : std::string("0")) + "," + std::to_string(on * 3.0) + "\n";
    }
    const std::string huge = File("huge.csv", log);
    const Outcome firing = Thrustlet("--json --firing '" + huge + "' " + design);
    EXPECT_EQ(firing.exit_code, 1);
    EXPECT_EQ(firing.out.find("inf"), std::string::npos) << firing.out;
    EXPECT_NE(firing.out.find("total impulse is past any number"), std::string::npos) << firing.out;

    // The same firing twice a hair apart in pressure: no law.
    std::string near_log = "time (s),force (N),pressure (MPa)\n", other_log = near_log;
    for (int i = 0; i < 40; ++i) {
        const double t = 0.05 * i, on = i > 2 && i < 35 ? 1.0 : 0.0;
        near_log += std::to_string(t) + "," + std::to_string(on * 200) + "," + std::to_string(on * 3.0) + "\n";
        other_log += std::to_string(t * 0.9) + "," + std::to_string(on * 200) + "," + std::to_string(on * 3.03) + "\n";
    }
    const std::string a = File("a.csv", near_log), b = File("b.csv", other_log);
    const Outcome fit = Thrustlet("--fit " + design + " '" + a + "' " + design + " '" + b + "' --json");
    EXPECT_EQ(fit.exit_code, 1) << fit.out;
    EXPECT_EQ(fit.out.find("inf"), std::string::npos) << fit.out;
    EXPECT_EQ(fit.out.find("nan"), std::string::npos) << fit.out;
    EXPECT_NE(fit.out.find("too close in pressure"), std::string::npos) << fit.out;
}

namespace {

// Under a memory limit a log larger than the memory free is refused with a
// message and exit 1, as a log that cannot be read, never an abort.
TEST_F(CliTest, ALogTooLargeForTheMemoryFreeIsRefused) {
    const std::string limited = File("limited.sh", std::string("ulimit -v 150000; exec '") + THRUSTLET_KN_BINARY +
                                                       "' \"$@\"\n");
    fs::permissions(limited, fs::perms::owner_all);
    if (Thrustlet("--version", limited.c_str()).exit_code != 0) GTEST_SKIP() << "the program does not start under the limit";
    std::string log = "time (s),force (N),pressure (MPa)\n";
    log.reserve(45u << 20);
    char line[64];
    for (int k = 0; k < 3000000; ++k) {
        const int n = std::snprintf(line, sizeof line, "%d.%04d,100,2\n", k / 10000, k % 10000);
        log.append(line, static_cast<std::size_t>(n));
    }
    const std::string data = File("huge.csv", log);
    log.clear();
    log.shrink_to_fit();
    const Outcome run = Thrustlet("--firing '" + data + "' " + Example("knsb_38mm.tlt"), limited.c_str());
    EXPECT_EQ(run.exit_code, 1) << run.err;
    EXPECT_NE(run.err.find("huge.csv: Out of memory: the log is too large to read in the memory free"), std::string::npos)
        << run.err;
}

}  // namespace

namespace {

// --delays puts the ejection delays into the engine files' headers; delays
// a file cannot hold, an empty value or no engine file are usage errors.
TEST_F(CliTest, DelaysOfTheEngineFiles) {
    const Outcome eng = Thrustlet("--eng --delays 4,6 " + Example("knsb_38mm.tlt"));
    EXPECT_EQ(eng.exit_code, 0) << eng.err;
    EXPECT_NE(eng.out.find("\nH200 33 171 4-6 "), std::string::npos) << eng.out;
    const Outcome rse = Thrustlet("--rse --delays 4-6-8 " + Example("knsb_38mm.tlt"));
    EXPECT_NE(rse.out.find(" delays=\"4,6,8\" "), std::string::npos);
    for (const char* args : {"--eng --delays x ", "--eng --delays '' ", "--delays 5 "}) {
        const Outcome wrong = Thrustlet(args + Example("knsb_38mm.tlt"));
        EXPECT_EQ(wrong.exit_code, 2) << args;
        EXPECT_TRUE(wrong.out.empty()) << args;
    }
}

}  // namespace
