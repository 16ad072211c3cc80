#!/bin/sh
# The module's boundary: its dynamic symbol table holds exactly PluginMain and
# PIResourceTable, and no source of the plug-in or of the dialog manager it
# carries includes a header of the host application.
# Usage: ModuleBoundaryTest.sh SOURCE_DIR MODULE
set -u
src=$1
module=$2
status=0

exports=$(nm -D --defined-only "$module" | awk '{print $3}' | sort | tr '\n' ' ')
if [ "$exports" != "PIResourceTable PluginMain " ]; then
  echo "the module exports: $exports(expected PIResourceTable PluginMain)"
  status=1
fi

for dir in host render fx ui adm resources dialogmanager; do
  found=$(grep -rlE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]app/' "$src/$dir")
  if [ -n "$found" ]; then
    echo "includes the host application: $found"
    status=1
  fi
done
exit $status
