#include "support/lines.h"

#include <algorithm>

namespace {

template <typename Lines>
std::string JoinCrLf(const Lines& lines)
{
    std::string out;
    for (const auto& line : lines) out += line + "\r\n";
    return out;
}

}  // namespace

std::string CrLf(std::initializer_list<std::string> lines)
{
    return JoinCrLf(lines);
}

std::string CrLf(const std::vector<std::string>& lines)
{
    return JoinCrLf(lines);
}

std::vector<std::string> SplitCrLf(const std::string& bytes)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) end = bytes.size();
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::vector<std::string> Framed(std::vector<std::string> head, const std::vector<std::string>& body,
                                const std::vector<std::string>& tail)
{
    head.insert(head.end(), body.begin(), body.end());
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

const std::vector<std::string> WorkedSource = {"` Screen routines", "global v as integer", "function Init()",
                                               "` sets v to 0", "ENDFUNCTION"};

const std::vector<std::string> WorkedIncludePage = {
    "<FONT COLOR=\"Yellow\">",
    "<center>myinclude <BR></center>",
    "<FONT COLOR=\"White\">",
    "<A HREF=\"#functions\">View Functions</A><BR>",
    "global v as integer<BR>",
    "<A NAME=\"functions\"></A>",
    "<FONT COLOR=\"Yellow\">",
    "<center>Included  COMMANDS  Are <BR></center>",
    "<FONT COLOR=\"White\">",
    "<a href=\"Includes\\Init.htm\"> Init()</a><br>",
    "<BR><BR><BR>",
    "<a href=\"Includes.htm\"> Return To Include List</a><br>",
    "<a href=\"Includes\\myinclude.dba\"> View Source</a><br>",
    "<a href=\"main.htm\"> Main Menu</a><br>",
    "<a href=\"index.htm\"> Index</a><br>",
    "<a href=\"glossary.htm\"> Glossary</a><br>",
};

const std::vector<std::string> WorkedFunctionPage = {
    "<FONT COLOR=\"Yellow\">",
    "<center>Init()<BR></center>",
    "<FONT COLOR=\"White\">",
    "` sets v to 0<BR>",
    "<BR><BR><BR>",
    "<a href=\"Includes\\myinclude.htm\"> Return To myinclude.htm</a><br>",
    "<a href=\"Includes.htm\"> Return To Include List</a><br>",
    "<a href=\"Includes\\myinclude.dba\"> View Source</a><br>",
    "<a href=\"main.htm\"> Main Menu</a><br>",
    "<a href=\"index.htm\"> Index</a><br>",
    "<a href=\"glossary.htm\"> Glossary</a><br>",
};
