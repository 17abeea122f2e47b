# A device of known speed for the benchmark scripts: an ext4 volume on a loop device, with the
# calling shell (and so everything it starts afterwards) in a blkio cgroup that throttles that
# device. Needs root, a free loop device and the blkio cgroup (v1). Sourced; the caller's
# EXIT trap calls throttle_down.
throttle_blkio=/sys/fs/cgroup/blkio
throttle_work="" throttle_loop="" throttle_mount="" throttle_cgroup=""

# Sets throttle_mount to the mounted volume; a rate of 0 leaves that one free.
throttle_up() {   # read-MiB/s write-MiB/s read-IOPS image-MiB
    local rbps=$(($1 * 1048576)) wbps=$(($2 * 1048576)) riops=$3 image=$4 dev
    [ "$(id -u)" = 0 ] || { echo "throttle: loop devices and cgroups need root" >&2; return 1; }
    [ -d "$throttle_blkio" ] || { echo "throttle: no blkio cgroup at $throttle_blkio" >&2; return 1; }
    throttle_work=$(mktemp -d /tmp/qm-throttle.XXXXXX)
    truncate -s "${image}M" "$throttle_work/volume.img"
    throttle_loop=$(losetup -f --show "$throttle_work/volume.img") || return 1
    mkfs.ext4 -q -F "$throttle_loop"
    mkdir "$throttle_work/mnt"
    mount "$throttle_loop" "$throttle_work/mnt"
    throttle_mount=$throttle_work/mnt
    dev=$(stat -L -c '%t:%T' "$throttle_loop")
    dev=$((16#${dev%:*})):$((16#${dev#*:}))
    throttle_cgroup=$throttle_blkio/qm_bench_$$
    mkdir "$throttle_cgroup"
    [ "$rbps" = 0 ] || echo "$dev $rbps" >"$throttle_cgroup/blkio.throttle.read_bps_device"
    [ "$wbps" = 0 ] || echo "$dev $wbps" >"$throttle_cgroup/blkio.throttle.write_bps_device"
    [ "$riops" = 0 ] || echo "$dev $riops" >"$throttle_cgroup/blkio.throttle.read_iops_device"
    echo $$ >"$throttle_cgroup/cgroup.procs"
}

# Undoes whatever throttle_up got as far as doing; safe to call more than once.
throttle_down() {
    if [ -n "$throttle_cgroup" ]; then
        echo $$ >"$throttle_blkio/cgroup.procs" 2>/dev/null || true
        rmdir "$throttle_cgroup" 2>/dev/null || true
    fi
    [ -z "$throttle_mount" ] || umount "$throttle_mount" 2>/dev/null || true
    [ -z "$throttle_loop" ] || losetup -d "$throttle_loop" 2>/dev/null || true
    [ -z "$throttle_work" ] || rm -rf "$throttle_work"
    throttle_work="" throttle_loop="" throttle_mount="" throttle_cgroup=""
}
