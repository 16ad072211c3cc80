#include "app/GimpInstall.h"

#include <filesystem>
#include <iostream>
#include <memory>
#include <system_error>

#include "app/platform/Environment.h"
#include "app/platform/FileSystem.h"

#ifndef VEYRA_GIMP_EXECUTABLE
#define VEYRA_GIMP_EXECUTABLE ""
#endif

namespace veyra::app {

namespace fs = std::filesystem;

namespace {

const char* const kFolderName = "veyra-gimp";
const char* const kExecutableName = "veyra-gimp";

// veyra-gimp beside veyra (the build tree), else where the installation put it.
std::string locateGimpExecutable() {
  const std::string bin = platform::executableFolder();
  std::string candidates[] = {bin + "/" + kExecutableName, VEYRA_GIMP_EXECUTABLE};
  if (!candidates[1].empty() && fs::path(candidates[1]).is_relative()) candidates[1] = bin + "/" + candidates[1];
  for (const std::string& c : candidates)
    if (!c.empty() && fs::is_regular_file(c)) return c;
  throw CommandError(kExitUsage, std::string(kExecutableName) + " not found beside veyra" +
                                     (candidates[1].empty() ? "" : " or at " + candidates[1]));
}

struct Options {
  std::string plugin;
  std::string gimpFolder;
};

void fail(const std::string& what, const std::error_code& ec) {
  throw CommandError(kExitUsage, what + ": " + ec.message());
}

}  // namespace

std::string userGimpFolder() {
  const std::string gimp = platform::environmentVariable("GIMP2_DIRECTORY");
  if (fs::path(gimp).is_absolute()) return gimp;
  const std::string xdg = platform::environmentVariable("XDG_CONFIG_HOME");
  if (gimp.empty() && fs::path(xdg).is_absolute()) return xdg + "/GIMP/2.10";
  const std::string home = platform::environmentVariable("HOME");
  if (home.empty()) throw CommandError(kExitUsage, "HOME is not set; give --gimp-folder");
  // GIMP takes a relative $GIMP2_DIRECTORY as a folder in the home folder.
  return home + "/" + (gimp.empty() ? ".config/GIMP/2.10" : gimp);
}

std::string installIntoGimp(const std::string& gimpExecutable, const std::string& module,
                            const std::string& gimpFolder) {
  const fs::path plugins = fs::path(gimpFolder) / "plug-ins";
  const fs::path target = plugins / kFolderName;
  const fs::path staging = plugins / (std::string(".") + kFolderName + ".new");
  std::error_code ec;
  fs::create_directories(plugins, ec);
  if (ec) fail("cannot make " + plugins.string(), ec);
  fs::remove_all(staging, ec);
  // Everything goes into a staging folder first, so that a failed copy
  // leaves an earlier installation as it was.
  try {
    fs::create_directory(staging);
    fs::copy_file(gimpExecutable, staging / kExecutableName);
    fs::permissions(staging / kExecutableName, fs::perms(0755));
    // The module is not executable, so GIMP never takes it for a plug-in.
    fs::copy_file(module, staging / fs::path(module).filename());
    fs::permissions(staging / fs::path(module).filename(), fs::perms(0644));
    const fs::path patterns = fs::path(module).parent_path() / "Patterns";
    if (fs::is_directory(patterns)) fs::copy(patterns, staging / "Patterns", fs::copy_options::recursive);
  } catch (const fs::filesystem_error& e) {
    fs::remove_all(staging, ec);
    throw CommandError(kExitUsage, std::string("cannot install into ") + target.string() + ": " + e.what());
  }
  fs::remove_all(target, ec);
  if (ec) fail("cannot replace " + target.string(), ec);
  fs::rename(staging, target, ec);
  if (ec) fail("cannot install into " + target.string(), ec);
  return target.string();
}

bool uninstallFromGimp(const std::string& gimpFolder) {
  const fs::path target = fs::path(gimpFolder) / "plug-ins" / kFolderName;
  std::error_code ec;
  // Only a folder this command made: it holds veyra-gimp.
  if (!fs::exists(target / kExecutableName, ec)) return false;
  fs::remove_all(target, ec);
  if (ec) fail("cannot remove " + target.string(), ec);
  return true;
}

void addGimpInstallCommands(CommandLine& cli) {
  auto options = std::make_shared<Options>();
  auto addFolderOption = [&](CLI::App* cmd) {
    cmd->add_option("--gimp-folder", options->gimpFolder,
                    "GIMP's user folder (default: $GIMP2_DIRECTORY, else ~/.config/GIMP/2.10)");
  };
  CLI::App* install = cli.app().add_subcommand(
      "gimp-install", "Installs veyra-gimp with the plug-in module and its Patterns in your GIMP 2.10 plug-in folder.");
  install->add_option("--plugin", options->plugin,
                      "The plug-in module (default: $VEYRA_PLUGIN, then the plug-ins folder beside veyra)");
  addFolderOption(install);
  install->callback([options]() {
    try {
      const std::string module = CommandLine::loadModule(options->plugin).path();
      const std::string folder = options->gimpFolder.empty() ? userGimpFolder() : options->gimpFolder;
      const std::string where = installIntoGimp(locateGimpExecutable(), module, folder);
      std::cout << "installed in " << where << "; restart GIMP to find Filters > Tarnwell Imaging\n";
    } catch (const CommandError& e) {
      throw CLI::RuntimeError(e.what(), e.status());
    }
  });
  CLI::App* uninstall =
      cli.app().add_subcommand("gimp-uninstall", "Removes what gimp-install put in your GIMP 2.10 plug-in folder.");
  addFolderOption(uninstall);
  uninstall->callback([options]() {
    try {
      const std::string folder = options->gimpFolder.empty() ? userGimpFolder() : options->gimpFolder;
      std::cout << (uninstallFromGimp(folder) ? "removed from " : "nothing installed in ") << folder
                << "/plug-ins\n";
    } catch (const CommandError& e) {
      throw CLI::RuntimeError(e.what(), e.status());
    }
  });
}

}  // namespace veyra::app
