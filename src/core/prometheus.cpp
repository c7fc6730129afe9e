// Metrics by area, each a few lines of one function: a new metric is one more call there.
// Families are gathered first so that each is written once, with its samples together.
#include "core/prometheus.h"

#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "core/attention.h"
#include "core/battery.h"
#include "core/ids/cpu_codename.h"
#include "core/links.h"
#include "core/report/device_text.h"
#include "core/text/clean_text.h"
#include "core/text/fmt.h"
#include "core/text/names.h"

namespace nadrel {

namespace {

using Labels = std::vector<std::pair<std::string_view, std::string>>;

struct Family {
    std::string_view name;
    std::string_view help;
    std::string_view type;  // "gauge" or "counter"
    std::vector<std::string> samples;
    std::set<std::string> series;  // label sets already written
};

class Metrics {
public:
    explicit Metrics(bool sanitized) : sanitized_(sanitized) {}

    // A sample of a family, the family declared by its first sample. A label set seen before
    // is dropped: the format allows one sample per series.
    void add(std::string_view name, std::string_view type, std::string_view help,
             const Labels& labels, double value) {
        Family* family = nullptr;
        for (Family& f : families_) {
            if (f.name == name)
                family = &f;
        }
        if (family == nullptr)
            family = &families_.emplace_back(Family{name, help, type, {}, {}});
        std::string set;
        for (const auto& [label, text] : labels) {
            set += set.empty() ? "{" : ",";
            set += std::string(label) + "=\"" + prometheus_label_value(text) + "\"";
        }
        if (!set.empty())
            set += "}";
        if (!family->series.insert(set).second)
            return;
        family->samples.push_back(std::string(name) + set + " " + number(value) + "\n");
    }

    void gauge(std::string_view name, std::string_view help, const Labels& labels, double value) {
        add(name, "gauge", help, labels, value);
    }

    // An *_info gauge of 1; the serial label only when not sanitizing.
    void info(std::string_view name, std::string_view help, Labels labels,
              std::string_view serial = {}, bool has_serial = false) {
        if (has_serial && !sanitized_)
            labels.emplace_back("serial", clean_text(serial));
        add(name, "gauge", help, labels, 1);
    }

    std::string text() const {
        std::string out;
        for (const Family& f : families_) {
            out += "# HELP " + std::string(f.name) + " " + std::string(f.help) + "\n";
            out += "# TYPE " + std::string(f.name) + " " + std::string(f.type) + "\n";
            for (const std::string& sample : f.samples)
                out += sample;
        }
        return out;
    }

private:
    // Whole numbers as integers; others with the digits a double holds.
    static std::string number(double value) {
        if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 9.0e15)
            return strfmt("%.0f", value);
        return strfmt("%.15g", value);
    }

    bool sanitized_;
    std::vector<Family> families_;
};

// A name for a label: cleaned as the report cleans it.
std::string name(std::string_view value) {
    return clean_name(clean_text(value));
}

std::string hex4(std::uint16_t id) {
    return id == 0 ? std::string() : strfmt("%04x", unsigned{id});
}

void system_metrics(Metrics& m, const SystemSnapshot& s, std::string_view version) {
    m.info("nadrel_info", "The nadrel that wrote these metrics.",
           {{"version", std::string(version)}});
    const std::string_view kernel = s.kernel;
    const std::string release = kernel.starts_with("(kernel ") && kernel.ends_with(')')
                                    ? std::string(kernel.substr(8, kernel.size() - 9))
                                    : std::string(kernel);
    m.info("nadrel_system_info", "The system: maker, product, chassis and operating system.",
           {{"vendor", name(s.dmi.sys_vendor)},
            {"product", name(s.dmi.product_name)},
            {"sku", name(s.dmi.product_sku)},
            {"chassis", name(s.chassis)},
            {"os", name(s.os_name)},
            {"kernel", name(release)},
            {"virtual_machine", name(s.virtual_machine)}},
           s.ids.system_serial, true);
    m.info("nadrel_board_info", "The motherboard.",
           {{"vendor", name(s.dmi.board_vendor)},
            {"name", name(s.dmi.board_name.empty() ? s.devicetree_model : s.dmi.board_name)},
            {"version", name(s.dmi.board_version)}},
           s.ids.board_serial, true);
    m.info("nadrel_bios_info", "The firmware (BIOS or UEFI).",
           {{"vendor", name(s.dmi.bios_vendor)},
            {"version", name(s.dmi.bios_version)},
            {"date", name(s.dmi.bios_date)}});
}

void cpu_metrics(Metrics& m, const SystemSnapshot& s) {
    const CpuInfo& c = s.cpu;
    const auto code = shown_cpu_codename(c, !s.virtual_machine.empty());
    m.info("nadrel_cpu_info", "The processor.",
           {{"model", name(c.model)},
            {"vendor", name(c.vendor_id.value_or(""))},
            {"codename", code ? name(code->name) : std::string()}});
    if (c.cores != 0)
        m.gauge("nadrel_cpu_cores", "Physical processor cores.", {}, c.cores);
    if (c.threads != 0)
        m.gauge("nadrel_cpu_threads", "Logical processors.", {}, c.threads);
    if (c.base_mhz != 0)
        m.gauge("nadrel_cpu_base_frequency_hertz", "Base clock.", {}, c.base_mhz * 1.0e6);
    if (c.max_mhz != 0)
        m.gauge("nadrel_cpu_max_frequency_hertz", "Maximum (boost) clock.", {}, c.max_mhz * 1.0e6);
}

void memory_metrics(Metrics& m, const SystemSnapshot& s) {
    if (s.memory_installed != 0)
        m.gauge("nadrel_memory_installed_bytes", "Memory installed.", {},
                static_cast<double>(s.memory_installed));
    if (s.memory_total != 0)
        m.gauge("nadrel_memory_visible_bytes", "Memory the operating system sees (MemTotal).", {},
                static_cast<double>(s.memory_total));
    for (const MemoryModule& d : s.memory_modules) {
        const Labels where = {{"locator", name(d.locator)}, {"bank_locator", name(d.bank_locator)}};
        Labels labels = where;
        labels.insert(labels.end(), {{"type", name(d.memory_type)},
                                     {"form_factor", name(d.form_factor)},
                                     {"manufacturer", name(d.manufacturer)},
                                     {"part_number", name(d.part_number)}});
        m.info("nadrel_memory_module_info", "An installed memory module (DIMM).", labels, d.serial,
               true);
        m.gauge("nadrel_memory_module_size_bytes", "Size of a memory module.", where,
                static_cast<double>(d.size));
    }
}

void gpu_metrics(Metrics& m, const SystemSnapshot& s) {
    for (std::size_t i = 0; i < s.gpus.size(); ++i) {
        const GpuInfo& g = s.gpus[i];
        // Two cards of one model differ only in their place in the list.
        const Labels where = {{"index", std::to_string(i)}};
        Labels labels = where;
        labels.insert(labels.end(), {{"name", name(gpu_name(g))},
                                     {"vendor", name(g.vendor)},
                                     {"vendor_id", hex4(g.vendor_id)},
                                     {"device_id", hex4(g.device_id)},
                                     {"pcie_link", pcie_link_text(g.pcie_link)},
                                     {"vbios_version", name(g.vbios_version)}});
        m.info("nadrel_gpu_info", "A graphics adapter.", labels);
        if (g.vram_total != 0)
            m.gauge("nadrel_gpu_memory_bytes", "Video memory of a graphics adapter.", where,
                    static_cast<double>(g.vram_total));
    }
}

void disk_metrics(Metrics& m, const SystemSnapshot& s) {
    for (const DiskInfo& d : s.disks) {
        const Labels where = {{"name", name(d.name)}};
        Labels labels = where;
        labels.insert(labels.end(), {{"model", name(d.model)},
                                     {"bus", name(d.bus)},
                                     {"medium", !d.solid_state   ? ""
                                                : *d.solid_state ? "ssd"
                                                                 : "hdd"},
                                     {"firmware", name(d.firmware)},
                                     {"link", disk_link_text(d)}});
        m.info("nadrel_disk_info", "A disk.", labels, d.serial, true);
        if (d.size != 0)
            m.gauge("nadrel_disk_size_bytes", "Capacity of a disk.", where,
                    static_cast<double>(d.size));
    }
}

void battery_metrics(Metrics& m, const SystemSnapshot& s) {
    for (const BatteryInfo& b : s.batteries) {
        const Labels where = {{"battery", name(b.name)}};
        if (b.design_mwh != 0 && b.full_mwh != 0) {
            m.gauge("nadrel_battery_wear_ratio",
                    "Capacity the battery has lost: 1 - full charge / design capacity (0 when "
                    "above).",
                    where, battery_wear_percent(b) / 100.0);
        }
        if (b.charge_percent)
            m.gauge("nadrel_battery_charge_ratio", "Charge of the battery, 0 to 1.", where,
                    *b.charge_percent / 100.0);
        if (b.cycle_count)
            m.add("nadrel_battery_cycles_total", "counter", "Charge cycles of the battery.", where,
                  *b.cycle_count);
    }
}

// Temperatures with the chip's own limits beside them, so that an alert compares the two.
void sensor_metrics(Metrics& m, const SystemSnapshot& s) {
    for (const Sensor& t : s.sensors) {
        const Labels where = {
            {"chip", name(t.chip)}, {"device", name(t.device)}, {"label", name(t.label)}};
        if (t.kind == SensorKind::Fan)
            m.gauge("nadrel_sensor_fan_rpm", "A fan's speed.", where, t.value);
        if (t.kind != SensorKind::Temperature)
            continue;
        m.gauge("nadrel_sensor_celsius", "A temperature sensor's reading.", where, t.value);
        if (t.max)
            m.gauge("nadrel_sensor_max_celsius", "The chip's own high limit for a sensor.", where,
                    *t.max);
        if (t.critical)
            m.gauge("nadrel_sensor_critical_celsius", "The chip's own critical limit for a sensor.",
                    where, *t.critical);
    }
    for (const DiskInfo& d : s.disks) {
        if (d.temperature_c)
            m.gauge("nadrel_disk_temperature_celsius", "A disk's temperature from its own sensor.",
                    {{"disk", name(d.name)}}, *d.temperature_c);
    }
}

// Corrected and uncorrected counts since boot: per module where EDAC names one, else per
// memory controller and its own label.
void memory_error_metrics(Metrics& m, const SystemSnapshot& s) {
    const auto add = [&m](Labels where, std::string_view kind, std::uint64_t count) {
        where.emplace_back("kind", std::string(kind));
        m.add("nadrel_memory_errors_total", "counter",
              "Memory errors the EDAC driver counted since boot.", where,
              static_cast<double>(count));
    };
    for (const MemoryModule& d : s.memory_modules) {
        const Labels where = {{"locator", name(d.locator)}, {"bank_locator", name(d.bank_locator)}};
        if (d.corrected_errors)
            add(where, "corrected", *d.corrected_errors);
        if (d.uncorrected_errors)
            add(where, "uncorrected", *d.uncorrected_errors);
    }
    for (const MemoryErrorCount& e : s.memory_edac) {
        const Labels where = {{"controller", name(e.controller)}, {"label", name(e.label)}};
        add(where, "corrected", e.corrected);
        add(where, "uncorrected", e.uncorrected);
    }
}

// Only functions whose own link is judged: root and switch ports are judged from below.
void pci_metrics(Metrics& m, const SystemSnapshot& s) {
    for (const PciDevice& d : s.pci_devices) {
        if (const auto below = below_capability(d)) {
            m.gauge("nadrel_pci_link_below_capability",
                    "1 when a PCI Express link runs below what the device and its port can.",
                    {{"address", name(d.address)}}, *below ? 1 : 0);
        }
    }
}

void attention_metrics(Metrics& m, const SystemSnapshot& s) {
    m.gauge("nadrel_attention_items", "Findings that need a technician's attention.", {},
            static_cast<double>(find_attention(s).size()));
}

}  // namespace

std::string prometheus_label_value(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (const char c : value) {
        if (c == '\\' || c == '"')
            out += '\\';
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        out += c;
    }
    return out;
}

std::string prometheus_text(const SystemSnapshot& s, const PrometheusOptions& options) {
    Metrics m(options.sanitized);
    system_metrics(m, s, options.version);
    cpu_metrics(m, s);
    memory_metrics(m, s);
    gpu_metrics(m, s);
    disk_metrics(m, s);
    battery_metrics(m, s);
    sensor_metrics(m, s);
    memory_error_metrics(m, s);
    pci_metrics(m, s);
    attention_metrics(m, s);
    return m.text();
}

}  // namespace nadrel
