#include "app/CommandLine.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "app/AtomicFile.h"
#include "app/FileIdentity.h"
#include "app/ImageFile.h"
#include "app/Progress.h"
#include "app/ScriptingHost.h"
#include "app/platform/FileSystem.h"

namespace veyra::app {

namespace {

const char* const kExitStatuses =
    "Exit status:\n"
    "  0  success\n"
    "  1  the filter failed (the message names the result code)\n"
    "  2  bad usage, unreadable or unsupported input, output folder missing or not\n"
    "     writable, --rect outside the image, plug-in module missing or unusable\n"
    "  3  cancelled (Ctrl-C or the dialog's Cancel)\n";

using platform::folderOf;

void say(const std::string& message) { std::fprintf(stderr, "veyra: %s\n", message.c_str()); }

// Refuses a run that would write over its own INPUT, or write OUTPUT and
// --record to one file, however the names are spelt.
void checkNothingOverwritten(const RunOptions& o) {
  std::vector<NamedFile> files{{"INPUT", o.input, false}, {"OUTPUT", o.output, true}};
  if (!o.record.empty()) files.push_back({"--record", o.record, true});
  if (const auto clash = findOverwrittenFile(files))
    throw CommandError(kExitUsage, clash->first.role + " " + clash->first.path + " is the same file as " +
                                       clash->second.role + " " + clash->second.path + "; nothing was written");
}

}  // namespace

VRect parseRect(const std::string& text) {
  std::istringstream in(text);
  long v[4];
  char comma = 0;
  bool ok = true;
  for (int i = 0; i < 4 && ok; ++i) {
    ok = static_cast<bool>(in >> v[i]);
    if (ok && i < 3) ok = static_cast<bool>(in >> comma) && comma == ',';
  }
  if (ok) {
    in >> std::ws;
    ok = in.eof();
  }
  for (int i = 0; i < 4 && ok; ++i) ok = v[i] >= -2147483647L && v[i] <= 2147483647L;
  if (!ok) throw CommandError(kExitUsage, "--rect wants four integers TOP,LEFT,BOTTOM,RIGHT, not \"" + text + "\"");
  return VRect{static_cast<int32>(v[0]), static_cast<int32>(v[1]), static_cast<int32>(v[2]),
               static_cast<int32>(v[3])};
}

void checkOutputPath(const std::string& path) {
  const std::string folder = folderOf(path);
  if (platform::pathKind(folder) != platform::PathKind::Folder)
    throw CommandError(kExitUsage, "the output folder " + folder + " does not exist");
  if (!platform::folderWritable(folder))
    throw CommandError(kExitUsage, "the output folder " + folder + " is not writable");
  if (platform::pathKind(path) == platform::PathKind::Folder)
    throw CommandError(kExitUsage, "the output " + path + " is a folder");
}

bool writeAtomically(const Document& doc, const std::string& path, FileFormat format) {
  try {
    AtomicFile file(path);
    try {
      saveImage(doc, file.writePath(), format);
    } catch (const ImageError& e) {
      // Name the file the user gave, not the one written to.
      std::string message = e.what();
      if (message.rfind(file.writePath(), 0) == 0) message.replace(0, file.writePath().size(), path);
      throw ImageError(message);
    }
    if (interruptRequested()) return false;
    file.commit();
    return true;
  } catch (const AtomicFileError& e) {
    throw ImageError(e.what());
  }
}

CommandLine::CommandLine() : app_("veyra: applies the KVO Veyra! light filter to image files", "veyra") {
  app_.require_subcommand(1);
  app_.footer(std::string("\n") + kExitStatuses +
              "\nExamples:\n"
              "  veyra apply photo.jpg lit.jpg\n"
              "  veyra apply scan.tif lit.png --rect 100,50,400,600 --quiet\n"
              "  veyra apply *.jpg --out-dir lit --suffix -lit -j 2\n"
              "  veyra about\n"
              "Run 'veyra COMMAND --help' for the options of a command.");
  runCommands_.emplace_back(
      addRunCommand("apply", "Runs the filter on INPUT without a dialog and writes the result to OUTPUT.", false),
      false);
  runCommands_.emplace_back(
      addRunCommand("edit", "Opens the filter's dialog on INPUT and writes the result to OUTPUT on OK.", true), true);
  CLI::App* about = app_.add_subcommand("about", "Shows the plug-in's about box.");
  about->add_option("--plugin", aboutPlugin_, "The plug-in module (default: $VEYRA_PLUGIN, then the plug-ins folder)");
  about->footer(std::string("\n") + kExitStatuses);
}

CLI::App* CommandLine::addRunCommand(const std::string& name, const std::string& description, bool editing) {
  RunOptions& o = editing ? edit_ : apply_;
  o.editing = editing;
  CLI::App* cmd = app_.add_subcommand(name, description);
  if (editing) {
    cmd->add_option("INPUT", o.input, "Image to read: PNG, JPEG or TIFF, 8 bits per channel")->required();
    cmd->add_option("OUTPUT", o.output,
                    "Image to write; its extension (.png .jpg .jpeg .tif .tiff) picks the format, "
                    "else INPUT's format is kept. Written only on success")
        ->required();
  } else {
    cmd->add_option("FILES", batch_.files,
                    "INPUT OUTPUT: the image to read (PNG, JPEG or TIFF, 8 bits per channel) and the image to "
                    "write, whose extension (.png .jpg .jpeg .tif .tiff) picks the format, else INPUT's is kept; "
                    "written only on success. With --out-dir: any number of INPUTs")
        ->required();
    cmd->add_option("--out-dir", batch_.outDir,
                    "Writes each INPUT into this folder under its own name (with --suffix), each picture on its "
                    "own; the command goes on after a picture that fails and ends with the worst status")
        ->type_name("DIR");
    cmd->add_option("--suffix", batch_.suffix, "With --out-dir: added to each name before its extension")
        ->type_name("TEXT");
    cmd->add_option("-j,--jobs", batch_.jobs, "With --out-dir: pictures at once (default: one per processor)")
        ->check(CLI::Range(1, 1024));
  }
  cmd->add_option("--rect", o.rect,
                  "Area to filter as TOP,LEFT,BOTTOM,RIGHT in pixels, bottom and right exclusive "
                  "(default: the whole image)");
  cmd->add_option("--plugin", o.plugin,
                  "The plug-in module (default: $VEYRA_PLUGIN, then the plug-ins folder beside veyra)");
  cmd->add_option("--max-pixels", o.maxPixels,
                  "Largest INPUT read, in pixels (width x height); larger files are refused as possibly "
                  "hostile (default: " + std::to_string(kDefaultMaxPixels) + ")")
      ->check(CLI::Range(uint64_t{1}, uint64_t{kMaxDocumentSide} * kMaxDocumentSide));
  cmd->add_option("--record", o.record, "Writes the parameters the filter recorded to an action file (JSON)")
      ->type_name("FILE");
  cmd->add_flag("--quiet,-q", o.quiet, "No progress bar");
  cmd->footer(std::string("\n") + kExitStatuses + "\nExamples:\n  veyra " + name +
              " photo.jpg lit.jpg\n  veyra " + name + " scan.tif lit.png --rect 100,50,400,600\n");
  return cmd;
}

void CommandLine::addExtension(std::unique_ptr<RunExtension> extension) {
  for (auto& [cmd, editing] : runCommands_) extension->addOptions(*cmd, editing);
  extensions_.push_back(std::move(extension));
}

PluginModule CommandLine::loadModule(const std::string& pluginOption) {
  try {
    return PluginModule::load(locateModule(pluginOption));
  } catch (const ModuleError& e) {
    throw CommandError(kExitUsage, e.what());
  }
}

int CommandLine::run(int argc, char** argv) {
  return run(std::vector<std::string>(argv, argv + argc));
}

int CommandLine::run(std::vector<std::string> args) {
  try {
    // CLI11 takes the arguments after the program's name, last first.
    if (!args.empty()) args.erase(args.begin());
    std::reverse(args.begin(), args.end());
    app_.parse(args);
  } catch (const CLI::CallForHelp& e) {
    return app_.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app_.exit(e);
  } catch (const CLI::ParseError& e) {
    say(std::string(e.what()) + " (run 'veyra --help' for usage)");
    return kExitUsage;
  }
  try {
    for (auto& [cmd, editing] : runCommands_)
      if (cmd->parsed()) return editing ? runFilter(edit_) : runApply();
    if (app_.get_subcommand("about")->parsed()) return runAbout(aboutPlugin_);
    return kExitSuccess;  // a subcommand added by another part ran in its callback
  } catch (const CommandError& e) {
    say(e.what());
    return e.status();
  } catch (const std::exception& e) {
    say(e.what());
    return kExitUsage;
  }
}

int CommandLine::runFilter(const RunOptions& options, const std::function<void(int32, int32)>& report) {
  // From here Ctrl-C cancels cleanly: the filter's abort procedure answers
  // true at its next check, or at once if it came earlier, and nothing is written.
  installInterruptHandler();
  checkNothingOverwritten(options);
  Document doc = [&] {
    try {
      return loadImage(options.input, options.maxPixels);
    } catch (const ImageTooLargeError& e) {
      throw CommandError(kExitUsage, std::string(e.what()) + "; --max-pixels raises the limit");
    } catch (const ImageError& e) {
      throw CommandError(kExitUsage, e.what());
    } catch (const std::invalid_argument& e) {
      throw CommandError(kExitUsage, options.input + ": " + e.what());
    }
  }();
  const FileFormat format = formatFromName(options.output).value_or(doc.sourceFormat());
  try {
    checkFormatHolds(doc, format);
  } catch (const ImageError& e) {
    throw CommandError(kExitUsage, options.output + ": " + e.what());
  }
  checkOutputPath(options.output);

  FilterHost host(doc);
  if (!options.rect.empty()) {
    try {
      host.setFilterRect(parseRect(options.rect));
    } catch (const std::invalid_argument& e) {
      throw CommandError(kExitUsage, "--rect " + options.rect + ": " + e.what());
    }
  }
  const PluginModule module = loadModule(options.plugin);
  // apply plays back an empty descriptor without the dialog, so every
  // parameter takes its default; edit plays back nothing and the dialog
  // opens. Extensions (--set, --action) replace the descriptor.
  if (ScriptingHost* scripting = host.service<ScriptingHost>()) {
    if (options.editing)
      scripting->clearPlayback();
    else
      scripting->playBack(Descriptor{}, plugInDialogDontDisplay);
  } else {
    host.defaultDescriptorParameters().playInfo = options.editing ? plugInDialogDisplay : plugInDialogDontDisplay;
  }
  for (auto& e : extensions_) e->beforeRun(host, module, options);

  FilterHost::RunResult result;
  {
    ProgressBar bar(stderr, !report && !options.quiet && ProgressBar::stderrIsTerminal());
    host.setProgressReporter([&](int32 done, int32 total) {
      if (report)
        report(done, total);
      else
        bar.update(done, total);
    });
    result = host.run(module);
    host.setProgressReporter(nullptr);
  }
  if (result.result == userCanceledErr) {
    say("cancelled; " + options.output + " was not written");
    return kExitCancelled;
  }
  if (result.result != noErr) {
    say("the filter failed: " + describeResult(result.result));
    return kExitFilterFailed;
  }
  for (auto& e : extensions_) e->afterRun(host, module, options);
  try {
    if (!writeAtomically(doc, options.output, format)) {
      say("cancelled; " + options.output + " was not written");
      return kExitCancelled;
    }
  } catch (const ImageError& e) {
    throw CommandError(kExitUsage, e.what());
  }
  return kExitSuccess;
}

int CommandLine::runAbout(const std::string& plugin) {
  const PluginModule module = loadModule(plugin);
  Document doc(1, 1, ColorMode::RGB);
  FilterHost host(doc);
  for (auto& e : extensions_) e->beforeAbout(host, module);
  const int16 result = host.about(module);
  if (result != noErr) {
    say("the about box failed: " + describeResult(result));
    return kExitFilterFailed;
  }
  return kExitSuccess;
}

}  // namespace veyra::app
