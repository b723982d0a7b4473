# Sourced by the cross-build scripts: unpacks a Debian source package under <deps>/apt/src
# once, with apt-get given a private sources list and state directory, so the machine's
# apt configuration is left as it was.
#   debian_source <deps> <package>    prints the unpacked source folder
debian_source() {
  local deps=$1 package=$2 apt=$1/apt src
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/src"
  src=$(find "$apt/src" -maxdepth 1 -type d -name "$package-*" | head -n 1)
  if [ -z "$src" ]; then
    echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main" \
      >"$apt/sources.list"
    local opts=(-o "Dir::Etc::SourceList=$apt/sources.list" -o "Dir::Etc::SourceParts=$apt/none"
                -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o "APT::Sandbox::User=root")
    echo "$package: fetching Debian's source package" >&2
    apt-get -qq "${opts[@]}" update >&2
    (cd "$apt/src" && apt-get -qq "${opts[@]}" source "$package" >/dev/null)
    src=$(find "$apt/src" -maxdepth 1 -type d -name "$package-*" | head -n 1)
  fi
  [ -n "$src" ] || { echo "$package source package not unpacked" >&2; return 1; }
  echo "$src"
}
