#!/usr/bin/env bash
# Runs the packaged udev rule through udevadm against USB serial adapters and
# other ttys laid out as the kernel lays them out in sysfs, and checks which
# of them ModemManager is told to leave alone. The devices are made up in a
# private mount namespace, so nothing on this machine is touched and no real
# adapter is needed. Needs root and udevadm; skipped (77) without them.
#   tst_udevrule.sh RULES-FILE
set -euo pipefail

rules=$(realpath "$1")
if [ "$(id -u)" -ne 0 ] || ! command -v udevadm >/dev/null || ! command -v unshare >/dev/null; then
    echo "SKIP: needs root, udevadm and unshare"
    exit 77
fi
if [ -z "${KELVRA_PRIVATE_MOUNTS:-}" ]; then
    KELVRA_PRIVATE_MOUNTS=1 exec unshare --mount --propagation private "$0" "$rules"
fi

# Only this rule file, a made-up sysfs, and a /dev and /run of our own: udevadm
# test creates links and database entries and sets modes on nodes that exist.
mount -t tmpfs none /run
scratch=/run/kelvra-udev
mkdir -p "$scratch/rules" "$scratch/realdev"
cp "$rules" "$scratch/rules/"
mount --bind "$scratch/rules" /usr/lib/udev/rules.d
mount --bind "$scratch/rules" /etc/udev/rules.d
mount --bind /dev "$scratch/realdev"
mount -t tmpfs none /dev
touch /dev/null
mount --bind "$scratch/realdev/null" /dev/null
mount -t tmpfs none /sys
mkdir -p /sys/bus/usb /sys/bus/usb-serial /sys/bus/pci /sys/bus/pnp /sys/class/tty

# device PATH SUBSYSTEM UEVENT [ATTRIBUTE=VALUE...]
device() {
    local path=/sys/devices/$1
    mkdir -p "$path"
    ln -s "$2" "$path/subsystem"
    printf '%b' "$3" >"$path/uevent"
    shift 3
    for attribute in "$@"; do
        echo "${attribute#*=}" >"$path/${attribute%%=*}"
    done
}

# An adapter as the kernel shows it: USB device, its interface, the
# usb-serial port and the tty that ModemManager would open.
declare -A paths
adapter() {
    local name=$1 usb=pci0000:00/0000:00:14.0/usb1/1-$2 driver=$5
    device "$usb" /sys/bus/usb "DEVTYPE=usb_device\nDRIVER=usb\n" idVendor="$3" idProduct="$4"
    device "$usb/1-$2:1.0" /sys/bus/usb "DEVTYPE=usb_interface\nDRIVER=$driver\n"
    device "$usb/1-$2:1.0/$name" /sys/bus/usb-serial "DRIVER=$driver\n"
    device "$usb/1-$2:1.0/$name/tty/$name" /sys/class/tty "DEVNAME=$name\n"
    paths[$name]=$usb/1-$2:1.0/$name/tty/$name
    paths[usb-$name]=$usb
}

device pci0000:00/0000:00:14.0 /sys/bus/pci 'DRIVER=xhci_hcd\n'
adapter ttyUSB0 1 0403 6001 ftdi_sio
adapter ttyUSB1 2 1a86 7523 ch341
adapter ttyUSB2 3 10c4 ea60 cp210x
adapter ttyUSB3 4 067b 23a3 pl2303
adapter ttyUSB4 5 0403 6002 ftdi_sio
device pnp0/00:00 /sys/bus/pnp 'DRIVER=serial\n'
device pnp0/00:00/tty/ttyS0 /sys/class/tty 'DEVNAME=ttyS0\n'
paths[ttyS0]=pnp0/00:00/tty/ttyS0

# device  ID_MM_DEVICE_IGNORE expected after "add" (- for unset)
expected=(
    ttyUSB0 1         # FTDI FT232R: the tty...
    usb-ttyUSB0 1     # ...and the USB device above it
    ttyUSB1 1         # CH340
    ttyUSB2 1         # CP2102
    ttyUSB3 1         # PL2303GS
    ttyUSB4 -         # an FTDI product the rule does not name
    usb-ttyUSB4 -
    ttyS0 -           # a built-in port
)

test_device() { SYSTEMD_DEVICE_VERIFY_SYSFS=0 udevadm test --action=add "/sys/devices/${paths[$1]}" 2>&1; }

# udev names the file and line of every rule it cannot parse, and skips it.
if test_device ttyS0 | grep -E '^/(etc|usr/lib)/udev/rules\.d/[^:]+:[0-9]+ '; then
    echo "FAIL: udev does not understand the lines above"
    exit 1
fi
failures=0
for ((i = 0; i < ${#expected[@]}; i += 2)); do
    name=${expected[i]} want=${expected[i + 1]}
    got=$(test_device "$name" | sed -n 's/^ID_MM_DEVICE_IGNORE=//p')
    if [ "${got:--}" = "$want" ]; then
        echo "PASS $name: ID_MM_DEVICE_IGNORE ${got:-unset}"
    else
        echo "FAIL $name: ID_MM_DEVICE_IGNORE ${got:-unset}, expected $want"
        failures=$((failures + 1))
    fi
done
exit $((failures > 0))
