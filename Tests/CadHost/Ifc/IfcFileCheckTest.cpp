// The look at an IFC file's bytes before the library reads them: whole STEP files of the two
// schemas pass, everything else is named.
#include <gmock/gmock.h>

#include <string>

#include "Ifc/IfcFileCheck.h"

namespace {

using CadHost::IfcFileCheck;
using ::testing::HasSubstr;

std::string Step(const std::string& schema, const std::string& end = "END-ISO-10303-21;\n") {
    return "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION(('ViewDefinition'),'2;1');\n"
           "FILE_NAME('a.ifc','2024-01-01T00:00:00',(''),(''),'','','');\n"
           "FILE_SCHEMA(" +
           schema +
           ");\nENDSEC;\nDATA;\n#1=IFCPERSON($,$,'x',$,$,$,$,$);\n"
           "ENDSEC;\n" +
           end;
}

TEST(IfcFileCheckTest, WholeFilesOfBothSchemasPass) {
    struct Case {
        std::string bytes;
        const char* schema;
    };
    const Case cases[] = {
        {Step("('IFC2X3')"), "IFC2X3"},
        {Step("('IFC4')"), "IFC4"},
        {Step(" ( 'ifc4' ) "), "IFC4"},
        {"\xEF\xBB\xBF  \r\n" + Step("('IFC4')", "END-ISO-10303-21;\r\n\r\n"), "IFC4"},
    };
    for (const Case& c : cases) {
        std::string schema, error;
        EXPECT_TRUE(IfcFileCheck::Check(c.bytes, schema, error)) << c.bytes << "\n" << error;
        EXPECT_EQ(schema, c.schema);
    }
}

TEST(IfcFileCheckTest, NamesWhatIsWrong) {
    const std::string whole = Step("('IFC2X3')");
    struct Case {
        std::string bytes;
        const char* message;
    };
    const Case cases[] = {
        {"", "empty"},
        {std::string("PK\x03\x04\x14\x00\x00\x00", 8) + "duplex.ifc", "ZIP archive"},
        {"<?xml version=\"1.0\"?><ifcXML/>", "XML"},
        {"hello, this is a letter\n", "does not begin with ISO-10303-21;"},
        {Step("('IFC4X3')"), "schema IFC4X3"},
        {Step("()"), "names no schema"},
        {whole.substr(0, whole.size() - 3), "cut short"},
        {Step("('IFC4')", ""), "cut short"},
    };
    for (const Case& c : cases) {
        std::string schema, error;
        EXPECT_FALSE(IfcFileCheck::Check(c.bytes, schema, error)) << c.bytes;
        EXPECT_THAT(error, HasSubstr(c.message)) << c.bytes;
        EXPECT_EQ(error.find('\n'), std::string::npos) << "one line: " << error;
    }
}

}  // namespace
