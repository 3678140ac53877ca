// Writes the sample project into the program folder at build time: the default project (a
// large office in Chicago with its sequenced two-chiller plant) under a name of its own,
// through the program's own project writer. Usage: make_sample_project <file.vxn>
#include <cstdio>
#include <string>

#include "app/storage/modDataIO.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sample_project <file.vxn>\n");
    return 2;
  }
  ProjectData project;
  modDataIO::InitProject(project);
  project.ProjectName = "Chicago Large Office";
  project.ClientName = "Sample Customer";
  return modDataIO::SaveProject(argv[1], project) ? 0 : 1;
}
