// The XML reader under every data file the program reads as XML (rules files, the resource
// manifest, challenge grids, tips): every element until the end or the first error.
#include "base/XMLElement.h"
#include "base/XMLParser.h"
#include "fuzz/FuzzTarget.h"

KAVO_FUZZ_TARGET(xml)
{
    const std::string path = fuzz::WriteInput("input.xml", data, size);
    Kavo::XMLParser parser;
    if (!parser.OpenFile(path)) return 0;
    Kavo::XMLElement element;
    while (parser.NextElement(element))
    {
    }
    (void)parser.GetErrorText();
    return 0;
}
