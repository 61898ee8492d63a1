#include "plenum/consolemap/chart_writers.h"

#include <gtest/gtest.h>

#include "plenum/language/compile_in_process.h"

namespace plenum {
namespace {

using testing_support::InProcessCompile;

// An LCD text carries what the three forms must keep apart from their own syntax.
const char* const kAwkwardText = R"(
*NORVO_MODULE
  *INPUT_64
    *INPUT_BIT = Tutti *BIT = 1 C1N1
  *SERIAL_LCD
    *LINE 1 "<b>Tutti & \034Full\034, loud</b>"
*END
)";

struct Charted {
  Charted() : compile(kAwkwardText) {
    EXPECT_EQ(compile.loadAndGenerate().status, -1);
    map = buildConsoleMap(compile.configuration);
  }
  InProcessCompile compile;
  ConsoleMap map;
};

TEST(ChartWriters, CsvQuotesFieldsWithCommasAndQuotes) {
  Charted c;
  const std::string csv = chartCsv(c.map);
  EXPECT_EQ(csv.rfind(std::string(csvColumns()) + "\r\n", 0), 0u);
  EXPECT_NE(csv.find(",\"text \"\"<b>Tutti & \"\"Full\"\", loud</b>\"\"\",6\r\n"), std::string::npos)
      << csv;
  EXPECT_NE(csv.find("0,B,1,INPUT_64,,input,1,yes,Tutti,input,1,1,C#-1,,,,\"input, sends note 1 "
                     "(C#-1)\",4\r\n"),
            std::string::npos)
      << csv;
  EXPECT_NE(csv.find("0,B,1,INPUT_64,,input,64,no,,free,,,,,,,,\r\n"), std::string::npos);
}

TEST(ChartWriters, HtmlEscapesTextAndLoadsNothing) {
  Charted c;
  const std::string html = chartHtml(c.map);
  EXPECT_NE(html.find("text &quot;&lt;b&gt;Tutti &amp; &quot;Full&quot;, loud&lt;/b&gt;&quot;"),
            std::string::npos);
  EXPECT_EQ(html.find("<b>Tutti"), std::string::npos);
  for (const char* outside : {"<script", "src=", "<link", "http:", "https:", "@import"})
    EXPECT_EQ(html.find(outside), std::string::npos) << outside;
  EXPECT_NE(html.find("@page"), std::string::npos);
}

TEST(ChartWriters, TextColumnsLineUpAcrossRows) {
  Charted c;
  const std::string text = chartText(c.map);
  // A free bit says so in the Kind column.
  EXPECT_NE(text.find("    Bit  Identifier  Kind   MIDI  Description                 Line\n"
                      "      1  Tutti       input  C1N1  input, sends note 1 (C#-1)     4\n"
                      "      2              free\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("  Board 2: SERIAL_LCD (line 5)\n"), std::string::npos);
}

}  // namespace
}  // namespace plenum
