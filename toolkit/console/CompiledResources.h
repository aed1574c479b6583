#pragma once
// The resources that the build compiled into a terminal program, by name. The unit that
// defines this is generated (tessarin_embed_resources in toolkit/CMakeLists.txt).
#include <map>
#include <string>

std::map<std::string, std::string> CompiledResources();
