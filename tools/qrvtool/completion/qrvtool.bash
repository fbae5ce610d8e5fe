# bash completion of qrvtool: its commands, each command's options, and the
# files each place takes (messages, pictures folders, WAV, Y4M, PNG...).

# Files with one of the extensions in $1 ("wav", "wav|y4m"; empty for any)
# and folders.
_qrvtool_files() {
  if declare -F _filedir >/dev/null; then
    _filedir "$1"
    return
  fi
  local IFS=$'\n'
  compopt -o filenames 2>/dev/null
  COMPREPLY=($(compgen -f -- "$cur"))
}

_qrvtool() {
  local cur prev words cword
  if declare -F _init_completion >/dev/null; then
    _init_completion || return
  else
    words=("${COMP_WORDS[@]}")
    cword=$COMP_CWORD
    cur=${words[cword]}
    prev=${words[cword - 1]}
  fi

  if ((cword == 1)); then
    COMPREPLY=($(compgen -W "info decode encode export thumbnail --help --version" -- "$cur"))
    return
  fi
  local command=${words[1]}

  case $prev in
  --pcm | --bgr | --audio) _qrvtool_files '' ; return ;;
  --wav) _qrvtool_files 'wav' ; return ;;
  --y4m | --video) _qrvtool_files 'y4m' ; return ;;
  --png)
    if declare -F _filedir >/dev/null; then _filedir -d; else COMPREPLY=($(compgen -d -- "$cur")); fi
    return
    ;;
  --fps) COMPREPLY=($(compgen -W "1 2 3 4 5" -- "$cur")) ; return ;;
  -o)
    case $command in
    encode) _qrvtool_files 'qrv' ;;
    export) _qrvtool_files 'wav|y4m|mp4|webm' ;;
    esac
    return
    ;;
  esac

  local options
  case $command in
  info) options="--json --help" ;;
  decode) options="--pcm --bgr --wav --png --y4m --md5 --help" ;;
  encode) options="--audio --video --fps -o --help" ;;
  export) options="-o --help" ;;
  thumbnail) options="--help" ;;
  *) return ;;
  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
    return
  fi

  # Which of the command's plain arguments this word is.
  local i place=0
  for ((i = 2; i < cword; i++)); do
    case ${words[i]} in
    --pcm | --bgr | --wav | --png | --y4m | --audio | --video | --fps | -o) ((i++)) ;;
    -*) ;;
    *) ((place++)) ;;
    esac
  done
  case $command:$place in
  info:0 | decode:0 | export:0 | thumbnail:0) _qrvtool_files 'qrv' ;;
  thumbnail:1) _qrvtool_files 'png' ;;
  esac
} && complete -F _qrvtool qrvtool
