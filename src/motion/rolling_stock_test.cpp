#include "motion/rolling_stock.h"

#include <gtest/gtest.h>

namespace {

TEST(RollingStock, TheDefaultTrainIsTheEmbeddedCardsAndScalesWithTheCars) {
  const auto stock = rolling_stock_for({}, std::nullopt);
  ASSERT_TRUE(stock);
  const Train train = train_of(*stock, false);
  EXPECT_DOUBLE_EQ(train.mass, 180000);
  EXPECT_DOUBLE_EQ(train.length, 66);
  EXPECT_NEAR(m_s_to_km_h(train.max_speed), 90, 1e-9);
  EXPECT_NEAR(train.full_deceleration, 0.0075 * 130 + 0.076, 1e-12);
  EXPECT_NEAR(train.service_deceleration, 0.6 * (0.0075 * 130 + 0.076), 1e-12);
  EXPECT_DOUBLE_EQ(train.equivalent_brake_time, 1.0);  // no delay, half of a 2 s build-up

  // The scenario's cars and braked mass replace the defaults; a file's values win over both.
  const auto six = rolling_stock_for({6, 80, true}, std::nullopt);
  ASSERT_TRUE(six);
  const Train longer = train_of(*six, true);
  EXPECT_DOUBLE_EQ(longer.mass, 360000);
  EXPECT_DOUBLE_EQ(longer.length, 132);
  EXPECT_DOUBLE_EQ(longer.max_force, 2 * train.max_force);
  EXPECT_NEAR(longer.full_deceleration, 0.0075 * 80 + 0.076, 1e-12);
  EXPECT_TRUE(longer.sanding);
  const auto file =
      rolling_stock_for({6, 80, false}, R"({"cars": 2, "braked_mass_percentage": 150, "car_length_m": 25})");
  ASSERT_TRUE(file) << file.status().message();
  EXPECT_DOUBLE_EQ(train_of(*file, false).length, 50);
  EXPECT_DOUBLE_EQ(file->braked_mass_percentage, 150);
  EXPECT_EQ(rolling_stock_keys().size(), 17u);
}

TEST(RollingStock, AFileIsReadStrictly) {
  const std::pair<const char*, const char*> refused[] = {
      {"", "one JSON object"},
      {"{", "one JSON object"},
      {"[]", "one JSON object"},
      {R"({"mass": 3})", "unknown key \"mass\""},
      {R"({"cars": "3"})", "\"cars\" is no number"},
      {R"({"cars": 0})", "\"cars\" lies outside 1 to 50 cars"},
      {R"({"power_kw_per_t": 1e300})", "\"power_kw_per_t\" lies outside"},
  };
  for (const auto& [text, says] : refused) {
    const auto stock = rolling_stock_for({}, std::string_view(text));
    ASSERT_FALSE(stock) << text;
    EXPECT_EQ(stock.status().code(), Status::Code::InvalidArgument) << text;
    EXPECT_NE(stock.status().message().find(says), std::string::npos) << text << ": " << stock.status().message();
  }
}

TEST(RollingStock, TheForcesOfTheTrain) {
  // Roeckl for standard gauge; Curtius and Kniffler's adhesion.
  EXPECT_DOUBLE_EQ(curve_resistance_per_mille(0), 0);
  EXPECT_NEAR(curve_resistance_per_mille(1000), 650.0 / 945, 1e-12);
  EXPECT_NEAR(curve_resistance_per_mille(250), 500.0 / 220, 1e-12);
  EXPECT_NEAR(nominal_adhesion(0), 0.161 + 7.5 / 44, 1e-12);
  EXPECT_NEAR(nominal_adhesion(km_h_to_m_s(90)), 0.161 + 7.5 / 134, 1e-12);
  const Train train = train_of(RollingStock{}, false);
  // Half the adhesion caps the start below the traction's own force; sand raises it again.
  TrackConditions wet;
  wet.adhesion = 0.5;
  EXPECT_LT(tractive_force(train, 0, wet), train.max_force);
  Train sanding = train;
  sanding.sanding = true;
  EXPECT_GT(tractive_force(sanding, 0, wet), tractive_force(train, 0, wet));
  // On a steep fall the brakes give more than the service deceleration needs, up to all they have.
  TrackConditions falling;
  falling.gradient = -30;
  EXPECT_DOUBLE_EQ(braking_deceleration(train, 20, TrackConditions{}), train.service_deceleration);
  EXPECT_DOUBLE_EQ(braking_deceleration(train, 20, falling), train.service_deceleration);
  falling.gradient = -80;
  EXPECT_LT(braking_deceleration(train, 20, falling), train.service_deceleration);
  falling.gradient = -200;
  EXPECT_DOUBLE_EQ(braking_deceleration(train, 20, falling), kMinimumDeceleration);
}

}  // namespace
