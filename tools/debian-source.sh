# Sourced by the cross-build scripts: a Debian source package unpacked under
# <deps>/apt/src/<package>_<version>, fetched with apt-get given a private sources list and
# state directory, so the machine's apt configuration is left as it was. The private
# package lists are refreshed once a week (kept as they are when that fails, offline).
#   debian_source_version <deps> <package>     prints the version Debian has now
#   debian_source <deps> <package> <version>   prints the unpacked source folder
_debian_apt_opts() {
  local apt=$1/apt
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/src"
  echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main" \
    >"$apt/sources.list"
  _apt_opts=(-o "Dir::Etc::SourceList=$apt/sources.list" -o "Dir::Etc::SourceParts=$apt/none"
             -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o "APT::Sandbox::User=root")
}

debian_source_version() {
  local deps=$1 package=$2 apt=$1/apt release
  _debian_apt_opts "$deps"
  release=$(find "$apt/lists" -maxdepth 1 -name '*_InRelease' -mtime -7 | head -n 1)
  if [ -z "$release" ]; then
    echo "$package: refreshing the list of Debian's source packages" >&2
    apt-get -qq "${_apt_opts[@]}" update >&2 || echo "$package: refresh failed, using the lists as they are" >&2
  fi
  apt-cache "${_apt_opts[@]}" showsrc "$package" 2>/dev/null |
    awk '/^Version:/ { print $2 }' | sort -V | tail -n 1
}

debian_source() {
  local deps=$1 package=$2 version=$3 apt=$1/apt dir src
  [ -n "$version" ] || { echo "$package: no version of the source package known" >&2; return 1; }
  _debian_apt_opts "$deps"
  dir=$apt/src/${package}_${version#*:}
  if [ ! -f "$dir/.unpacked" ]; then
    rm -rf "$dir"
    mkdir -p "$dir"
    echo "$package: fetching Debian's source package $version" >&2
    (cd "$dir" && apt-get -qq "${_apt_opts[@]}" source "$package=$version" >/dev/null)
    touch "$dir/.unpacked"
  fi
  src=$(find "$dir" -mindepth 1 -maxdepth 1 -type d -name "$package-*" | head -n 1)
  [ -n "$src" ] || { echo "$package source package not unpacked" >&2; return 1; }
  echo "$src"
}

# The stamp a cached build carries: what it was built from and how.
#   deps_stamp <package> <version> <flags...>
deps_stamp() {
  local package=$1 version=$2
  shift 2
  printf 'package=%s\nversion=%s\ncompiler=%s\nflags=%s\n' "$package" "$version" \
    "$(x86_64-w64-mingw32-gcc-posix --version 2>/dev/null | head -n 1)" "$*"
}
