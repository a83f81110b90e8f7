#!/usr/bin/env python3
"""Writes the parameter file sources of the six controller models (MDA.ini ... ZMDA.ini).

One UTF-8 source per model; keys whose text depends on the language appear three times with
the tags @ja, @en and @zh, and the build writes the per-language files in their code pages.
Keeping the definitions here, in one table, keeps the six models and three languages in step.
Run it after changing the table:  python3 system/src/params/make_param_sources.py
Not run by the build or by CI; its output is committed.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
LANGS = ("ja", "en", "zh")
CODECS = {"ja": "cp932", "en": "cp1252", "zh": "gbk"}

MODELS = ("MDA", "MDB", "MDC", "XMDC", "YMDA", "ZMDA")
LAST_NUMBER = {"MDA": 111, "MDB": 182, "MDC": 182, "XMDC": 168, "YMDA": 113, "ZMDA": 115}
LONG_RECORD = ("MDB", "MDC", "XMDC")
ROTARY = ("ZMDA",)

# Per-model figures: stroke (or turn) for the soft limit, top speed, push limit value.
STROKE = {"MDA": 100, "MDB": 200, "MDC": 300, "XMDC": 400, "YMDA": 150, "ZMDA": 360}
TOP_SPEED = {"MDA": 800, "MDB": 1200, "MDC": 1500, "XMDC": 2000, "YMDA": 600, "ZMDA": 1000}
PUSH_LIMIT = {"MDB": 100, "MDC": 300, "XMDC": 300}
LEAD = {"MDA": 6, "MDB": 10, "MDC": 12, "XMDC": 20, "YMDA": 5}

# Tabs of the parameter list ("Mode").
BASIC, OPERATION, SERVO, SYSTEM = 1, 2, 3, 4

T = lambda ja, en, zh: {"ja": ja, "en": en, "zh": zh}  # noqa: E731

ENABLE = [T("無効", "Disabled", "无效"), T("有効", "Enabled", "有效")]


def unit_length(model):
    return "deg" if model in ROTARY else "mm"


def unit_speed(model):
    return "deg/s" if model in ROTARY else "mm/s"


class P:
    """One parameter definition for one model."""

    def __init__(self, number, name, kind, unit="-", lo=None, hi=None, prec=0, value=None,
                 tab=BASIC, write=1, hide=0, servow=0, choices=None, selected=0):
        self.number = number
        self.name = name
        self.kind = kind            # "int", "real", "sel", "text"
        self.unit = unit            # text or language dict
        self.lo, self.hi = lo, hi
        self.prec = prec
        self.value = value
        self.tab, self.write, self.hide, self.servow = tab, write, hide, servow
        self.choices = choices or []
        self.selected = selected


def low_block(model):
    """Parameters 1 to 25."""
    L, V = unit_length(model), unit_speed(model)
    rotary = model in ROTARY
    long_rec = model in LONG_RECORD
    top = TOP_SPEED[model]
    p = []
    pos = dict(kind="real", unit=L, prec=4)
    p.append(P(1, T("ゾーン出力上限", "Zone output upper limit", "区域输出上限"),
               lo=-9999.9999, hi=9999.9999, value=STROKE[model] / 2, tab=BASIC, **pos))
    p.append(P(2, T("ゾーン出力下限", "Zone output lower limit", "区域输出下限"),
               lo=-9999.9999, hi=9999.9999, value=0.0, tab=BASIC, **pos))
    p.append(P(3, T("ソフトリミット(+)", "Soft limit (+)", "软限位(+)"),
               lo=-9999.9999, hi=9999.9999, value=STROKE[model], tab=BASIC, **pos))
    p.append(P(4, T("ソフトリミット(-)", "Soft limit (-)", "软限位(-)"),
               lo=-9999.9999, hi=9999.9999, value=0.0 if rotary else -0.3, tab=BASIC, **pos))
    if rotary:
        direction = [T("CCW方向", "CCW", "逆时针"), T("CW方向", "CW", "顺时针")]
    else:
        direction = [T("モーター側", "Motor side", "电机侧"), T("反モーター側", "Opposite side", "电机反侧")]
    p.append(P(5, T("原点復帰方向", "Home direction", "原点返回方向"), "sel",
               choices=direction, tab=OPERATION))
    p.append(P(6, T("原点オフセット", "Home offset", "原点偏移"),
               lo=-99.9999, hi=99.9999, value=0.0, tab=OPERATION, **pos))
    p.append(P(7, T("原点復帰速度", "Home return speed", "原点返回速度"), "int", V,
               1, 100 if rotary else 50, value=30 if rotary else 20, tab=OPERATION, servow=1))
    p.append(P(8, T("標準速度", "Standard speed", "标准速度"), "int", V, 1, top,
               value=100, tab=BASIC, servow=1))
    if long_rec:
        p.append(P(9, T("標準加速度", "Standard acceleration", "标准加速度"), "real", "G",
                   0.1, 9.9, prec=1, value=0.3, tab=BASIC, servow=1))
    else:
        p.append(P(9, T("標準加速度", "Standard acceleration", "标准加速度"), "int", "G",
                   1, 3, value=1, tab=BASIC, servow=1))
    p.append(P(10, T("位置決め幅", "In-position range", "定位宽度"),
               lo=0.0, hi=999.9999, value=0.1, tab=BASIC, servow=1, **pos))
    p.append(P(11, T("位置偏差過大レベル", "Following error limit", "位置偏差过大值"), "int",
               "pulse", 1, 65535, value=3000, tab=SERVO, hide=2))
    p.append(P(12, T("電流制限値", "Current limit", "电流限制值"), "int", "%", 10, 300,
               value=200, tab=SERVO))
    p.append(P(13, T("原点復帰方式", "Home return method", "原点返回方式"), "sel",
               choices=[T("押当て", "Push", "挡块"), T("センサ", "Sensor", "传感器"),
                        T("センサ+Z相", "Sensor + Z phase", "传感器+Z相")], tab=OPERATION))
    p.append(P(14, T("原点押当て電流", "Home push current", "原点挡块电流"), "int", "%",
               10, 100, value=40, tab=OPERATION, servow=1))
    p.append(P(15, T("原点復帰加速度", "Home return acceleration", "原点返回加速度"), "int",
               "0.01G", 1, 100, value=10, tab=OPERATION, servow=1))
    p.append(P(16, T("JOG速度", "Jog speed", "点动速度"), "int", V, 1, 1000 if rotary else 500,
               value=50, tab=OPERATION, servow=2))
    p.append(P(17, T("JOG加速度", "Jog acceleration", "点动加速度"), "int", "0.01G", 1, 100,
               value=10, tab=OPERATION, servow=2))
    p.append(P(18, T("サーボオン遅延時間", "Servo-on delay", "伺服ON延迟时间"), "int", "ms",
               0, 1000, value=100, tab=SYSTEM, hide=2))
    p.append(P(19, T("ブレーキ解除遅延時間", "Brake release delay", "制动器释放延迟时间"), "int",
               "ms", 0, 1000, value=50, tab=SYSTEM, hide=2))
    p.append(P(20, T("エンコーダ方式", "Encoder mode", "编码器方式"), "sel",
               choices=[T("インクリメンタル", "Incremental", "增量式"),
                        T("アブソリュート", "Absolute", "绝对式")], tab=SYSTEM))
    p.append(P(21, T("入力フィルタ時間", "Input filter time", "输入滤波时间"), "int", "ms",
               1, 20, value=3, tab=SYSTEM))
    p.append(P(22, T("BUSY出力方式", "Busy output mode", "BUSY输出方式"), "sel",
               choices=[T("動作中", "In motion", "运动中"),
                        T("動作中または押当て中", "In motion or pushing", "运动中或挡块中")],
               tab=SYSTEM))
    p.append(P(23, T("ゾーン出力論理", "Zone output logic", "区域输出逻辑"), "sel",
               choices=[T("範囲内でON", "ON inside", "范围内ON"),
                        T("範囲外でON", "ON outside", "范围外ON")], tab=SYSTEM))
    p.append(P(24, T("アラーム出力論理", "Alarm output logic", "报警输出逻辑"), "sel",
               choices=[T("B接点", "Normally closed", "常闭"), T("A接点", "Normally open", "常开")],
               tab=SYSTEM))
    p.append(P(25, T("標準停止モード", "Default stop mode", "标准停止模式"), "int", "-", 0, 4,
               value=0, tab=OPERATION, servow=1))
    return p


def low_block_rest(model):
    """Parameters 26 to 49."""
    L, V = unit_length(model), unit_speed(model)
    rotary = model in ROTARY
    long_rec = model in LONG_RECORD
    top = TOP_SPEED[model]
    p = []
    p.append(P(26, T("指令フィルタ時定数", "Command filter time constant", "指令滤波时间常数"),
               "real", "ms", 0.0, 100.0, prec=3, value=0.0, tab=SERVO))
    p.append(P(27, T("指令入力方式", "Command input mode", "指令输入方式"), "sel",
               choices=[T("ポイントテーブル", "Point table", "点位表"),
                        T("パルス列", "Pulse train", "脉冲串")], tab=SYSTEM))
    p.append(P(28, T("電子ギア分子", "Electronic gear numerator", "电子齿轮分子"), "int", "-",
               1, 65535, value=1, tab=SYSTEM, hide=2))
    p.append(P(29, T("最高速度", "Maximum speed", "最高速度"), "int", V, 1, top, value=top,
               tab=BASIC))
    p.append(P(30, T("バックラッシ補正量", "Backlash compensation", "反向间隙补偿量"), "real", L,
               0.0, 1.0, prec=3, value=0.0, tab=BASIC))
    feed_prec = 4 if model == "XMDC" else 3 if model in ("MDB", "MDC") else 1
    p.append(P(31, T("インチング移動量", "Inching distance", "寸动移动量"), "real", L,
               0.0, 100.0, prec=feed_prec, value=0.1 if long_rec else 1.0, tab=OPERATION,
               servow=2))
    p.append(P(32, T("速度オーバーライド", "Speed override", "速度倍率"), "int", "%", 1, 100,
               value=100, tab=OPERATION, servow=1))
    p.append(P(33, T("原点センサ論理", "Home sensor logic", "原点传感器逻辑"), "sel",
               choices=[T("A接点", "Normally open", "常开"), T("B接点", "Normally closed", "常闭")],
               tab=SYSTEM))
    p.append(P(34, T("軸番号", "Axis address", "轴号"), "int", "-", 0, 15, value=0, tab=SYSTEM))
    p.append(P(35, T("通信速度", "Communication speed", "通信速度"), "sel",
               choices=[T(s, s, s) for s in ("38400bps", "57600bps", "115200bps")], selected=2,
               tab=SYSTEM))
    types = [
        T("TYPE0 (64点)", "TYPE0 (64 points)", "TYPE0 (64点)"),
        T("TYPE1 (64点 押当てなし)", "TYPE1 (64 points, no push)", "TYPE1 (64点 无挡块)"),
        T("TYPE2 (256点)", "TYPE2 (256 points)", "TYPE2 (256点)"),
        T("TYPE3 (512点)", "TYPE3 (512 points)", "TYPE3 (512点)"),
        T("TYPE4 (7点)", "TYPE4 (7 points)", "TYPE4 (7点)"),
        T("TYPE5 (3点 押当てなし)", "TYPE5 (3 points, no push)", "TYPE5 (3点 无挡块)"),
    ]
    if rotary:
        types = [types[0], types[2], types[4], types[5]]  # raw 0, 2, 4, 5
    p.append(P(36, T("運転タイプ", "Operation type", "运行类型"), "sel", choices=types,
               tab=SYSTEM))
    p.append(P(37, T("電源投入時原点復帰", "Home return at power-on", "上电时原点返回"), "sel",
               choices=ENABLE, tab=OPERATION))
    p.append(P(38, T("非常停止入力", "Emergency stop input", "紧急停止输入"), "sel",
               choices=ENABLE, selected=1, tab=SYSTEM))
    p.append(P(39, T("過負荷検出レベル", "Overload detection level", "过载检测等级"), "int", "%",
               50, 150, value=100, tab=SERVO, hide=2))
    p.append(P(40, T("位置ループゲイン", "Position loop gain", "位置环增益"), "int", "1/s",
               1, 1000, value=30, tab=SERVO))
    p.append(P(41, T("速度ループゲイン", "Speed loop gain", "速度环增益"), "int", "Hz", 1, 2000,
               value=100, tab=SERVO))
    p.append(P(42, T("速度ループ積分時間", "Speed loop integral time", "速度环积分时间"), "int",
               "0.1ms", 1, 1000, value=200, tab=SERVO))
    p.append(P(43, T("トルクフィルタ周波数", "Torque filter frequency", "转矩滤波频率"), "int",
               "Hz", 10, 5000, value=1000, tab=SERVO, hide=2))
    p.append(P(44, T("速度フィードフォワードゲイン", "Speed feed-forward gain", "速度前馈增益"),
               "real", "-", 0.0, 1.0, prec=3, value=0.0, tab=SERVO, hide=2))
    pulses = ["2500", "3125", "4000", "5000", "6250", "8000", "10000", "20000", "30000", "40000",
              "50000", "62500", "100000", "125000", "200000", "1000000", "4000000"]
    p.append(P(45, T("パルス出力分解能", "Pulse output resolution", "脉冲输出分辨率"), "sel",
               "P/rev", choices=[T(s, s, s) for s in pulses], selected=6, tab=SYSTEM, hide=2))
    p.append(P(46, T("制振周波数", "Vibration suppression frequency", "抑振频率"), "int", "Hz",
               0, 500, value=0, tab=SERVO, hide=2))
    p.append(P(47, T("ノッチフィルタ周波数", "Notch filter frequency", "陷波滤波频率"), "int",
               "Hz", 50, 5000, value=5000, tab=SERVO, hide=2))
    p.append(P(48, T("ノッチフィルタ深さ", "Notch filter depth", "陷波滤波深度"), "int", "-",
               0, 3, value=0, tab=SERVO, hide=2))
    if rotary:
        p.append(P(49, T("負荷慣性モーメント", "Load moment of inertia", "负载转动惯量"), "real",
                   "kgcm2", 0.0, 50.0, prec=2, value=1.0, tab=SERVO))
    elif model in ("MDC", "XMDC"):
        p.append(P(49, T("積載質量", "Payload mass", "负载质量"), "int", "kg", 0, 100,
                   value=2, tab=SERVO))
    else:
        p.append(P(49, T("積載質量", "Payload mass", "负载质量"), "real", "kg", 0.0, 50.0,
                   prec=2, value=1.0, tab=SERVO))
    return p


def high_block(model):
    """Parameters 100 to 147."""
    L = unit_length(model)
    rotary = model in ROTARY
    p = []
    p.append(P(100, T("軸名称", "Axis name", "轴名称"), "text", "-", value="", tab=SYSTEM,
               servow=2))
    code = {"MDA": 1, "MDB": 2, "MDC": 3, "XMDC": 6, "YMDA": 7, "ZMDA": 8}[model]
    p.append(P(101, T("モーター種別", "Motor type code", "电机类型代码"), "int", "-", 0, 255,
               value=code, tab=SYSTEM, write=0, hide=2))
    p.append(P(102, T("電流制限最大値", "Current limit maximum", "电流限制最大值"), "int", "%",
               10, 300, value=300, tab=SERVO, hide=2))
    p.append(P(103, T("過電流検出時間", "Overcurrent detection time", "过电流检测时间"), "int",
               "ms", 1, 1000, value=100, tab=SERVO, hide=2))
    p.append(P(104, T("位置指令平滑化時間", "Position command smoothing", "位置指令平滑时间"),
               "real", "ms", 0.0, 50.0, prec=3, value=0.0, tab=SERVO, hide=2))
    p.append(P(105, T("エンコーダ分解能", "Encoder resolution", "编码器分辨率"), "int", "P/rev",
               800, 1048576, value=8192, tab=SYSTEM, write=0, hide=1))
    if rotary:
        p.append(P(106, T("減速比", "Reduction ratio", "减速比"), "int", "-", 1, 100, value=18,
                   tab=SYSTEM, write=0, hide=2))
    else:
        p.append(P(106, T("ボールねじリード", "Ball screw lead", "滚珠丝杠导程"), "real", "mm",
                   1.0, 50.0, prec=2, value=float(LEAD[model]), tab=SYSTEM, write=0, hide=2))
    p.append(P(107, T("トルク定数", "Torque constant", "转矩常数"), "real", "Nm/A", 0.0, 10.0,
               prec=7 if model in ("MDB", "MDC") else 5, value=0.05, tab=SERVO, hide=3))
    p.append(P(108, T("摩擦補償量", "Friction compensation", "摩擦补偿量"), "real", "%", 0.0,
               100.0, prec=3, value=0.0, tab=SERVO, hide=2))
    p.append(P(109, T("重力補償量", "Gravity compensation", "重力补偿量"), "real", "%", -100.0,
               100.0, prec=3, value=0.0, tab=SERVO, hide=2))
    p.append(P(110, T("加速度フィードフォワードゲイン", "Acceleration feed-forward gain",
                      "加速度前馈增益"), "real", "-", 0.0, 1.0, prec=3, value=0.0, tab=SERVO,
               hide=2))
    p.append(P(111, T("停止保持時間", "Stop hold time", "停止保持时间"), "int", "ms", 0, 10000,
               value=0, tab=OPERATION, servow=1))
    p.append(P(112, T("速度検出フィルタ", "Speed detection filter", "速度检测滤波"), "real",
               "ms", 0.0, 10.0, prec=3, value=0.5, tab=SERVO, hide=2))
    p.append(P(113, T("電流ループゲイン係数", "Current loop gain coefficient", "电流环增益系数"),
               "real", "-", 0.0, 10.0, prec=6, value=1.0, tab=SERVO, hide=3))
    p.append(P(114, T("回生抵抗選択", "Regenerative resistor", "再生电阻选择"), "sel",
               choices=[T("内蔵", "Internal", "内置"), T("外付け", "External", "外置")],
               tab=SYSTEM, hide=2))
    p.append(P(115, T("位置補償ゲイン", "Position compensation gain", "位置补偿增益"), "real",
               "-", 0.0, 10.0, prec=3, value=1.0, tab=SERVO, hide=2))
    p.append(P(116, T("電流オフセット係数", "Current offset coefficient", "电流偏移系数"), "real",
               "-", -1.0, 1.0, prec=6, value=0.0, tab=SERVO, hide=3))
    p.append(P(117, T("速度ループゲイン2", "Speed loop gain 2", "速度环增益2"), "int", "Hz", 1,
               2000, value=100, tab=SERVO))
    p.append(P(118, T("速度ループ積分時間2", "Speed loop integral time 2", "速度环积分时间2"),
               "int", "0.1ms", 1, 1000, value=200, tab=SERVO))
    p.append(P(119, T("負荷慣性モーメント比", "Load inertia ratio", "负载惯量比"), "real",
               T("倍", "times", "倍"), 1.0, 100.0, prec=3, value=1.0, tab=SERVO))
    p.append(P(120, T("ゲイン切替条件", "Gain switching condition", "增益切换条件"), "sel",
               choices=[T("無効", "Disabled", "无效"), T("停止中", "While stopped", "停止时"),
                        T("位置決め中", "While positioning", "定位时")], tab=SERVO, hide=2))
    p.append(P(121, T("ゲイン切替遅延", "Gain switching delay", "增益切换延迟"), "real", "ms",
               0.0, 1000.0, prec=3, value=10.0, tab=SERVO, hide=2))
    p.append(P(122, T("ゲイン切替レベル", "Gain switching level", "增益切换等级"), "real", L,
               0.0, 100.0, prec=3, value=0.1, tab=SERVO, hide=2))
    p.append(P(123, T("振動検出レベル", "Vibration detection level", "振动检测等级"), "int", "%",
               0, 100, value=0, tab=SERVO, hide=2))
    for i in range(12):
        p.append(P(124 + i, T("摩擦補償テーブル%d" % (i + 1), "Friction table %d" % (i + 1),
                              "摩擦补偿表%d" % (i + 1)), "real", "%", -100.0, 100.0, prec=3,
                   value=0.0, tab=SERVO, hide=3))
    for i in range(12):
        p.append(P(136 + i, T("コギング補償%d" % (i + 1), "Cogging compensation %d" % (i + 1),
                              "齿槽补偿%d" % (i + 1)), "real", "%", -100.0, 100.0, prec=3,
                   value=0.0, tab=SERVO, hide=3))
    return p


def high_block_rest(model):
    """Parameters 148 to 182; each model keeps those up to its last number."""
    V = unit_speed(model)
    L = unit_length(model)
    p = []
    p.append(P(148, T("押当て速度", "Push speed", "挡块速度"), "int", V, 1, 50, value=10,
               tab=OPERATION, servow=1))
    p.append(P(149, T("押当て判定時間", "Push detection time", "挡块判定时间"), "int", "ms", 1,
               1000, value=100, tab=OPERATION, servow=1))
    p.append(P(150, T("押当て解除方式", "Push release mode", "挡块解除方式"), "sel",
               choices=[T("保持", "Hold", "保持"), T("解除", "Release", "解除")],
               tab=OPERATION))
    p.append(P(151, T("押当て上限値", "Push limit", "挡块上限值"), "int", "%", 0, 300,
               value=PUSH_LIMIT.get(model, 70), tab=OPERATION))
    p.append(P(152, T("押当て電流立上り時間", "Push current ramp time", "挡块电流上升时间"), "int",
               "ms", 0, 1000, value=0, tab=OPERATION, hide=2))
    p.append(P(153, T("原点センサフィルタ", "Home sensor filter", "原点传感器滤波"), "int", "ms",
               0, 50, value=2, tab=OPERATION, hide=2))
    p.append(P(154, T("原点探索距離上限", "Home search distance limit", "原点搜索距离上限"),
               "real", L, 0.0, 9999.99, prec=2, value=500.0, tab=OPERATION, hide=2))
    p.append(P(155, T("Z相探索範囲", "Z phase search range", "Z相搜索范围"), "int", "pulse", 0,
               65535, value=8192, tab=OPERATION, hide=2))
    p.append(P(156, T("位置到達出力時間", "In-position output time", "到位输出时间"), "int",
               "ms", 0, 1000, value=0, tab=SYSTEM))
    p.append(P(157, T("アラーム履歴保持", "Alarm history retention", "报警履历保持"), "sel",
               choices=ENABLE, selected=1, tab=SYSTEM))
    p.append(P(158, T("押当て中速度制限", "Speed limit while pushing", "挡块中速度限制"), "int", V,
               1, 50, value=20, tab=OPERATION, hide=2, servow=1))
    p.append(P(159, T("ティーチングモード", "Teaching mode", "示教模式"), "sel",
               choices=[T("サーボオン", "Servo on", "伺服ON"), T("サーボオフ", "Servo off", "伺服OFF")],
               tab=OPERATION))
    p.append(P(160, T("手動操作速度上限", "Manual speed limit", "手动操作速度上限"), "int", V, 1,
               250, value=250, tab=OPERATION, servow=1))
    for i in range(4):
        p.append(P(161 + i, T("出力信号割付%d" % (i + 1), "Output assignment %d" % (i + 1),
                              "输出信号分配%d" % (i + 1)), "int", "-", 0, 31, value=i + 1,
                   tab=SYSTEM, hide=2))
    for i in range(2):
        p.append(P(165 + i, T("入力信号割付%d" % (i + 1), "Input assignment %d" % (i + 1),
                              "输入信号分配%d" % (i + 1)), "int", "-", 0, 31, value=i + 1,
                   tab=SYSTEM, hide=2))
    p.append(P(167, T("モニタ出力選択", "Monitor output select", "监视输出选择"), "sel",
               choices=[T("速度", "Speed", "速度"), T("電流", "Current", "电流"),
                        T("位置偏差", "Position deviation", "位置偏差")], tab=SYSTEM, hide=2))
    push_check = P(0, T("押当て値チェック方式", "Push value check", "挡块值检查方式"), "sel",
                   choices=[T("標準", "Standard", "标准"), T("拡張", "Extended", "扩展")],
                   tab=OPERATION)
    if model == "XMDC":
        push_check.number = 168
        p.append(push_check)
        return p
    p.append(P(168, T("モニタ出力ゲイン", "Monitor output gain", "监视输出增益"), "int", "%", 10,
               1000, value=100, tab=SYSTEM, hide=2))
    p.append(P(169, T("オートチューニングモード", "Auto-tuning mode", "自动调谐模式"), "sel",
               choices=[T("標準", "Standard", "标准"), T("高応答", "High response", "高响应")],
               tab=SERVO, hide=2))
    p.append(P(170, T("オートチューニング方向", "Auto-tuning direction", "自动调谐方向"), "sel",
               choices=[T("正方向", "Forward", "正方向"), T("逆方向", "Reverse", "反方向")],
               tab=SERVO, hide=2))
    p.append(P(171, T("チューニングストローク", "Tuning stroke", "调谐行程"), "int", L, 1, 100,
               value=1, tab=SERVO))
    p.append(P(172, T("チューニング加速度", "Tuning acceleration", "调谐加速度"), "real", "G",
               1.0, 5.0, prec=1, value=1.0, tab=SERVO))
    p.append(P(173, T("目標整定時間", "Target settling time", "目标整定时间"), "int", "ms", 50,
               10000, value=50, tab=SERVO))
    p.append(P(174, T("剛性レベル", "Stiffness level", "刚性等级"), "int", "-", 0, 5, value=0,
               tab=SERVO))
    p.append(P(175, T("整定判定幅", "Settling detection width", "整定判定宽度"), "real", L, 0.0,
               1.0, prec=3, value=0.01, tab=SERVO, hide=2))
    p.append(P(176, T("チューニング回数", "Tuning repeat count", "调谐次数"), "int",
               T("回", "times", "次"), 1, 10, value=3, tab=SERVO, hide=2))
    p.append(P(177, T("モデル追従制御", "Model following control", "模型跟踪控制"), "sel",
               choices=ENABLE, tab=SERVO, hide=2))
    p.append(P(178, T("モデル追従ゲイン", "Model following gain", "模型跟踪增益"), "int", "1/s",
               1, 1000, value=50, tab=SERVO, hide=2))
    p.append(P(179, T("外乱オブザーバゲイン", "Disturbance observer gain", "扰动观测器增益"),
               "int", "%", 0, 100, value=0, tab=SERVO, hide=2))
    p.append(P(180, T("外乱オブザーバフィルタ", "Disturbance observer filter", "扰动观测器滤波"),
               "int", "Hz", 10, 2000, value=500, tab=SERVO, hide=2))
    p.append(P(181, T("チューニング結果保存", "Tuning result storage", "调谐结果保存"), "sel",
               choices=[T("自動", "Automatic", "自动"), T("手動", "Manual", "手动")], tab=SERVO,
               hide=2))
    push_check.number = 182
    p.append(push_check)
    return p


def fmt_number(value, prec):
    return "%.*f" % (prec, value) if prec else "%d" % round(value)


def lang_lines(key, texts, out):
    """One line when the three languages agree, else one tagged line per language."""
    if isinstance(texts, str):
        out.append("%s=%s" % (key, texts))
    elif len({texts[lang] for lang in LANGS}) == 1:
        out.append("%s=%s" % (key, texts["en"]))
    else:
        for lang in LANGS:
            out.append("%s@%s=%s" % (key, lang, texts[lang]))


def section(p):
    kinds = {"int": 1, "real": 2, "sel": 3, "text": 4}
    out = ["[%d]" % p.number]
    lang_lines("DisplayName", p.name, out)
    out.append("Type=%d" % kinds[p.kind])
    lang_lines("UnitName", p.unit, out)
    if p.kind == "int":
        out.append("Min=%d" % p.lo)
        out.append("Max=%d" % p.hi)
    elif p.kind == "real":
        out.append("Min=%s" % fmt_number(p.lo, p.prec))
        out.append("Max=%s" % fmt_number(p.hi, p.prec))
        out.append("DisplayPrecision=%d" % p.prec)
    elif p.kind == "sel":
        out.append("SelItemCount=%d" % len(p.choices))
        for i, choice in enumerate(p.choices, 1):
            lang_lines("SelItem%d" % i, choice, out)
        # Short lists name every choice; long ones their first and last (first word only).
        if len(p.choices) <= 3:
            rng = {lang: "/".join(c[lang] for c in p.choices) for lang in LANGS}
        else:
            rng = {lang: p.choices[0][lang].split()[0] + " - " + p.choices[-1][lang].split()[0]
                   for lang in LANGS}
        lang_lines("Range", rng, out)
    out.append("Mode=%d" % p.tab)
    if p.kind == "int":
        out.append("Value=%d" % p.value)
    elif p.kind == "real":
        out.append("Value=%s" % fmt_number(p.value, p.prec))
    elif p.kind == "sel":
        lang_lines("Value", p.choices[p.selected], out)
    else:
        out.append("Value=%s" % p.value)
    out.append("WRITE=%d" % p.write)
    out.append("HIDE=%d" % p.hide)
    out.append("ServoW=%d" % p.servow)
    return out


def check(model, params):
    numbers = [p.number for p in params]
    wanted = list(range(1, 50)) + list(range(100, LAST_NUMBER[model] + 1))
    if numbers != wanted:
        sys.exit("%s: numbers %s" % (model, sorted(set(wanted) ^ set(numbers))))
    for p in params:
        for lines in section(p):
            text = lines.split("=", 1)[-1]
            if ";" in text:
                sys.exit("%s %d: ';' in %r" % (model, p.number, text))
        for lang in LANGS:
            for line in section(p):
                tag = line.split("=", 1)[0]
                if "@" in tag and not tag.endswith("@" + lang):
                    continue
                line.encode(CODECS[lang])  # raises on a character the code page lacks
        if p.kind in ("int", "real") and not p.lo <= p.value <= p.hi:
            sys.exit("%s %d: value outside its range" % (model, p.number))


def main():
    for model in MODELS:
        params = [p for p in low_block(model) + low_block_rest(model) + high_block(model)
                  + high_block_rest(model)
                  if p.number <= LAST_NUMBER[model]]
        check(model, params)
        lines = []
        for p in params:
            lines.extend(section(p))
        with open(os.path.join(HERE, model + ".ini"), "w", encoding="utf-8", newline="\n") as f:
            f.write("\n".join(lines) + "\n")
        print("%s.ini: %d parameters" % (model, len(params)))


if __name__ == "__main__":
    main()
