#pragma once
// Shared by the data management 2007_01 request tests: the service's name and
// the request and reply helpers they share with the 2006_03 ones.
#include "dm0603_ops_support.hxx"

namespace dm0701 {

using dm0603::attrOr;
using dm0603::childrenNamed;
using dm0603::contentsOf;
using dm0603::newFolder;
using dm0603::newObject;
using dm0603::Parsed;
using dm0603::ref;
using dm0603::refUid;
using dm0603::tagOf;
using Velmora::Soa::Common::Xml::XMLNode;
using vl::test::esc;
using vl::test::uidOf;
namespace P = vl::platform;

inline const char* const kService = "Core-2007-01-DataManagement";

}  // namespace dm0701
